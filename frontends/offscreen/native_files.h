// The file system of the platform this build runs on.
#pragma once

#ifdef _WIN32
#include "frontends/win32/win32_files.h"
namespace sarvel {
using NativeFileSystem = Win32FileSystem;
}
#else
#include "frontends/posix/posix_files.h"
namespace sarvel {
using NativeFileSystem = PosixFileSystem;
}
#endif
