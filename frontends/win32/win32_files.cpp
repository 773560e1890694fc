// Win32 file services: FindFirstFileW with attribute filtering, CreateFileW
// for appending and reading; Windows error codes mapped to failure numbers.
#include "frontends/win32/win32_files.h"

#include <windows.h>

#include "core/base/failure.h"
#include "frontends/win32/text.h"

namespace sarvel {
namespace {

// `missing` is what a file or folder that is not there means to the caller.
[[noreturn]] void RaiseForError(DWORD error, Err missing) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      Raise(missing);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      Raise(Err::kPermissionDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      Raise(Err::kDiskFull);
    case ERROR_NOT_READY:
      Raise(Err::kDiskNotReady);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      Raise(Err::kBadFileName);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      Raise(Err::kOutOfMemory);
    default:
      Raise(Err::kPathFileAccess);
  }
}

constexpr DWORD kNotPlain =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

bool SetFileHiddenSystem(const std::string& path, bool hidden, bool system) {
  const std::wstring wide = win32::Widen(path);
  DWORD a = GetFileAttributesW(wide.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  a = hidden ? (a | FILE_ATTRIBUTE_HIDDEN) : (a & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
  a = system ? (a | FILE_ATTRIBUTE_SYSTEM) : (a & ~DWORD(FILE_ATTRIBUTE_SYSTEM));
  return SetFileAttributesW(wide.c_str(), a) != 0;
}

bool Win32FileSystem::FindPlainFile(const std::string& pattern) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(win32::Widen(pattern).c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_READY) Raise(Err::kDiskNotReady);
    return false;  // nothing found, no such folder, or a name that names nothing
  }
  bool found = false;
  do {
    if ((data.dwFileAttributes & kNotPlain) == 0) {
      found = true;
      break;
    }
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return found;
}

void Win32FileSystem::AppendText(const std::string& path, const std::string& text) {
  HANDLE h = CreateFileW(win32::Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) RaiseForError(GetLastError(), Err::kPathNotFound);
  const std::string ansi = win32::ToAnsi(text);
  DWORD written = 0;
  const BOOL ok = WriteFile(h, ansi.data(), DWORD(ansi.size()), &written, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok || written != ansi.size()) RaiseForError(error, Err::kPathNotFound);
}

std::vector<uint8_t> Win32FileSystem::ReadFile(const std::string& path) {
  const std::wstring wide = win32::Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    Raise(Err::kPathFileAccess);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) RaiseForError(GetLastError(), Err::kFileNotFound);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size) || uint64_t(size.QuadPart) > kMaxReadFileBytes) {
    CloseHandle(h);
    Raise(Err::kOutOfMemory);
  }
  std::vector<uint8_t> bytes(size_t(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(h, bytes.data() + done, DWORD(bytes.size() - done), &got, nullptr) ||
        got == 0) {
      const DWORD error = GetLastError();
      CloseHandle(h);
      RaiseForError(error == 0 ? ERROR_READ_FAULT : error, Err::kFileNotFound);
    }
    done += got;
  }
  CloseHandle(h);
  return bytes;
}

}  // namespace sarvel
