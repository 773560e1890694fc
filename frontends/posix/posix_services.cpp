// POSIX: the runtime services.
#include "frontends/posix/posix_services.h"

#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "sarvel_version.h"

namespace sarvel {
namespace {

void MakeFolders(const std::string& dir) {
  if (dir.empty() || ::access(dir.c_str(), F_OK) == 0) return;
  const size_t slash = dir.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(dir.substr(0, slash));
  ::mkdir(dir.c_str(), 0700);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

// ---- System

SystemDescription LinuxDescription(const char* release) {
  SystemDescription d;
  d.platform = "Linux";
  unsigned numbers[3] = {0, 0, 0};
  const char* p = release;
  for (int i = 0; i < 3 && *p >= '0' && *p <= '9'; ++i) {
    char* end = nullptr;
    numbers[i] = unsigned(std::strtoul(p, &end, 10));
    p = end;
    if (*p != '.') break;
    ++p;
  }
  d.major = numbers[0];
  d.minor = numbers[1];
  d.build = numbers[2] & 0xFFFFu;
  d.details = release;
  return d;
}

SystemDescription DescribeThisLinux() {
  utsname u{};
  if (::uname(&u) != 0) return {"Linux", 0, 0, 0, ""};
  return LinuxDescription(u.release);
}

// ---- Regional

LocaleRegional::LocaleRegional(const char* name) {
  numeric_ = newlocale(LC_NUMERIC_MASK, name, nullptr);
  if (!numeric_) numeric_ = newlocale(LC_NUMERIC_MASK, "C", nullptr);
  time_ = newlocale(LC_TIME_MASK, name, nullptr);
  if (!time_) time_ = newlocale(LC_TIME_MASK, "C", nullptr);
}

LocaleRegional::~LocaleRegional() {
  if (numeric_) freelocale(numeric_);
  if (time_) freelocale(time_);
}

std::string LocaleRegional::DecimalSeparator() {
  const char* radix = numeric_ ? nl_langinfo_l(RADIXCHAR, numeric_) : nullptr;
  return radix && radix[0] ? radix : ".";
}

std::string LocaleRegional::Format(const char* format, const LocalTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  // Week day and year day for formats that show them; timegm only fills
  // those in and leaves a valid date and time as it is.
  timegm(&tm);
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  char buf[128];
  const size_t n = time_ ? strftime_l(buf, sizeof buf, format, &tm, time_) : 0;
  return std::string(buf, n);
}

std::string LocaleRegional::ShortDate(const LocalTime& t) { return Format("%x", t); }
std::string LocaleRegional::TimeOfDay(const LocalTime& t) { return Format("%X", t); }

// ---- Clock

uint32_t MonotonicClock::TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

LocalTime MonotonicClock::Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  const time_t seconds = ts.tv_sec;
  localtime_r(&seconds, &tm);
  return LocalTime{
      tm.tm_year + 1900,        tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
      int(ts.tv_nsec / 1000000)};
}

// ---- Executable

PosixExecutable::PosixExecutable() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  path_ = n > 0 ? buf.substr(0, size_t(n)) : std::string("/usr/local/bin/sarvel");
}

std::string StateFolder() {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  std::string base;
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && home[0] == '/' ? home : "/tmp") + "/.local/state";
  }
  const std::string folder = base + "/sarvel";
  MakeFolders(folder);
  return folder;
}

std::string PosixExecutable::Folder() { return FolderOf(path_); }

std::string PosixExecutable::FallbackLogFolder() { return StateFolder(); }

std::string PosixExecutable::FileTitle() {
  const size_t slash = path_.rfind('/');
  std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

Version PosixExecutable::FileVersion() {
  return Version{SARVEL_VERSION_MAJOR, SARVEL_VERSION_MINOR, SARVEL_VERSION_REVISION};
}

// ---- Instances

std::string InstanceLockPath(const std::string& executable_path) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : executable_path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char name[64];
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && ::access(runtime, W_OK) == 0) {
    std::snprintf(name, sizeof name, "/sarvel-%016llx.lock", static_cast<unsigned long long>(hash));
    return runtime + std::string(name);
  }
  std::snprintf(name, sizeof name, "/tmp/sarvel-%u-%016llx.lock", unsigned(::getuid()),
                static_cast<unsigned long long>(hash));
  return name;
}

InstanceLock::InstanceLock(const std::string& lock_path) {
  fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return;  // cannot tell: every start goes ahead
  const std::string gate_path = lock_path + ".gate";
  const int gate = ::open(gate_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (gate >= 0) {
    while (::flock(gate, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  // Alone when the lock can be had exclusively; the shared lock that
  // follows is what later starts see.
  another_ = ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  while (::flock(fd_, LOCK_SH) != 0 && errno == EINTR) {
  }
  if (gate >= 0) ::close(gate);  // releases the gate
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace sarvel
