// POSIX implementation of the directory search, appending and reading.
#include "frontends/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/failure.h"

namespace sarvel {
namespace {

bool IsPlainFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

[[noreturn]] void RaiseForErrno(int err, Err not_found) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      Raise(not_found);
    case ENOSPC:
    case EDQUOT:
      Raise(Err::kDiskFull);
    case EIO:
      Raise(Err::kDeviceIo);
    case ENOMEM:
      Raise(Err::kOutOfMemory);
    default:
      Raise(Err::kPathFileAccess);  // EACCES, EPERM, EROFS, EISDIR, ETXTBSY...
  }
}

}  // namespace

bool PosixFileSystem::FindPlainFile(const std::string& pattern) {
  const size_t slash = pattern.rfind('/');
  const std::string dir =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
  const std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (name.empty()) return false;
  if (name.find_first_of("*?") == std::string::npos) {
    return name.front() != '.' && IsPlainFile(pattern);
  }
  DIR* d = ::opendir(dir.c_str());
  if (!d) {
    if (errno == EIO) Raise(Err::kDeviceIo);
    return false;  // no such folder, or not ours to read: nothing found
  }
  bool found = false;
  while (const dirent* e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;
    if (::fnmatch(name.c_str(), e->d_name, FNM_PERIOD) != 0) continue;
    if (IsPlainFile(dir + "/" + e->d_name)) {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

void PosixFileSystem::AppendText(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) RaiseForErrno(errno, Err::kPathNotFound);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      RaiseForErrno(err, Err::kPathNotFound);
    }
    done += size_t(n);
  }
  if (::close(fd) != 0 && errno != EINTR) RaiseForErrno(errno, Err::kPathNotFound);
}

std::vector<uint8_t> PosixFileSystem::ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseForErrno(errno, Err::kFileNotFound);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Raise(S_ISDIR(st.st_mode) ? Err::kPathFileAccess : Err::kFileNotFound);
  }
  if (size_t(st.st_size) > kMaxReadFileBytes) {
    ::close(fd);
    Raise(Err::kOutOfMemory);
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t(st.st_size));
  uint8_t buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      RaiseForErrno(err, Err::kFileNotFound);
    }
    if (bytes.size() + size_t(n) > kMaxReadFileBytes) {
      ::close(fd);
      Raise(Err::kOutOfMemory);
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fd);
  return bytes;
}

}  // namespace sarvel
