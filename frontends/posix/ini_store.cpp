// The ini-file settings store, written with POSIX calls for the atomic
// replace (write, fsync, rename) and the folder's creation.
#include "frontends/posix/ini_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/base/failure.h"

namespace sarvel {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool SameKey(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The file's lines; a missing file has none. Raises when it cannot be read.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return lines;
    Raise(Err::kPathFileAccess);
  }
  std::string content;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      Raise(Err::kPathFileAccess);
    }
    content.append(buf, size_t(n));
    if (content.size() > (size_t(16) << 20)) {  // no settings file is that large
      ::close(fd);
      Raise(Err::kPathFileAccess);
    }
  }
  ::close(fd);
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool IsSectionHeader(const std::string& line, std::string* name) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *name = Trim(t.substr(1, t.size() - 2));
  return true;
}

bool KeyOfLine(const std::string& line, std::string* key, std::string* value) {
  const std::string t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return false;
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  *key = Trim(line.substr(0, eq));
  std::string v = line.substr(eq + 1);
  if (!v.empty() && v.back() == '\r') v.pop_back();
  *value = v;
  return !key->empty();
}

void MakeFolders(const std::string& dir) {
  if (dir.empty()) return;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) return;
  const size_t slash = dir.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(dir.substr(0, slash));
  if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) Raise(Err::kPathFileAccess);
}

void WriteAll(int fd, const std::string& text, const std::string& tmp) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      Raise(err == ENOSPC || err == EDQUOT ? Err::kDiskFull : Err::kPathFileAccess);
    }
    done += size_t(n);
  }
}

void MakeFoldersFor(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
}

// Writers take turns. Every write reads the file, changes one line and
// replaces the file whole; two processes writing at the same moment (two
// settings dialogs, or a dialog and a script) would otherwise each put back
// a file without the other's key. The lock is advisory and held on the
// folder, since the file itself is replaced and a lock file would be one
// more file to leave behind.
class WriteLock {
 public:
  explicit WriteLock(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that cannot be opened takes no settings file either: the
    // write itself reports that.
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~WriteLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  int fd_ = -1;
};

void ReplaceFile(const std::string& path, const std::string& text) {
  const std::string tmp = path + ".tmp-" + std::to_string(::getpid());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Raise(errno == ENOSPC ? Err::kDiskFull : Err::kPathFileAccess);
  WriteAll(fd, text, tmp);
  if (::fsync(fd) != 0 && errno != EINVAL) {
    ::close(fd);
    ::unlink(tmp.c_str());
    Raise(Err::kDeviceIo);
  }
  ::close(fd);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    Raise(Err::kPathFileAccess);
  }
}

}  // namespace

std::string EscapeIniValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string UnescapeIniValue(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char n = text[++i];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string DefaultSettingsPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && home[0] ? home : "/tmp") + "/.config";
  }
  return base + "/sarvel/settings.ini";
}

std::string IniFileStore::Read(const std::string& /*app*/, const std::string& section,
                               const std::string& key, const std::string& default_text) {
  std::string current;
  bool in_section = false;
  for (const std::string& line : ReadLines(path_)) {
    std::string name, k, v;
    if (IsSectionHeader(line, &name)) {
      in_section = SameKey(name, section);
    } else if (in_section && KeyOfLine(line, &k, &v) && SameKey(k, key)) {
      return UnescapeIniValue(v);
    }
  }
  return default_text;
}

void IniFileStore::Write(const std::string& /*app*/, const std::string& section,
                         const std::string& key, const std::string& text) {
  MakeFoldersFor(path_);
  const WriteLock lock(path_);
  std::vector<std::string> lines = ReadLines(path_);
  const std::string entry = key + "=" + EscapeIniValue(text);
  bool in_section = false;
  bool done = false;
  size_t section_end = lines.size();
  bool section_found = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string name, k, v;
    if (IsSectionHeader(lines[i], &name)) {
      if (in_section) {
        section_end = i;
        break;
      }
      in_section = SameKey(name, section);
      if (in_section) {
        section_found = true;
        section_end = lines.size();
      }
    } else if (in_section && KeyOfLine(lines[i], &k, &v) && SameKey(k, key)) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (!section_found) {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
      lines.push_back("[" + section + "]");
      section_end = lines.size();
    }
    // Insert after the section's last non-empty line.
    size_t at = section_end;
    while (at > 0 && Trim(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + long(at), entry);
  }
  std::string content;
  for (const std::string& line : lines) content += line + "\n";
  ReplaceFile(path_, content);
}

}  // namespace sarvel
