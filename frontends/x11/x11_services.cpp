// X11: the runtime services.
#include "frontends/x11/x11_services.h"

#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "sarvel_version.h"

namespace sarvel::x11 {
namespace {

Window AsWindow(WindowHandle h) { return Window(uint64_t(h)); }

constexpr int32_t kWsVisible = 0x10000000;

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

// ---- SystemApi

void X11System::SetScreenSaverActive(bool active) {
  if (!hosted_) display_.SuspendScreenSaver(!active);
}

void X11System::SetSaverRunning(bool running) { running_ = running; }

void X11System::ShowCursor(bool show) { display_.ChangeCursorCount(show ? 1 : -1); }

void X11System::GetClientArea(WindowHandle window, ClientRect& rect) {
  if (window == 0) return;
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XWindowAttributes a;
  if (XGetWindowAttributes(x, AsWindow(window), &a) && trap.Ok())
    rect = ClientRect{0, 0, a.width, a.height};
}

int32_t X11System::WindowStyle(WindowHandle window) {
  if (Display::OwnWindow* own = display_.Own(AsWindow(window))) return own->style;
  if (window == 0) return 0;
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XWindowAttributes a;
  Window root = None, parent = None, *children = nullptr;
  unsigned count = 0;
  if (!XGetWindowAttributes(x, AsWindow(window), &a) ||
      !XQueryTree(x, AsWindow(window), &root, &parent, &children, &count) || !trap.Ok()) {
    return 0;
  }
  if (children) XFree(children);
  return (parent != root ? kWsChild : 0) | (a.map_state == IsViewable ? kWsVisible : 0);
}

void X11System::SetWindowStyle(WindowHandle window, int32_t style) {
  // Other programs' windows keep their ways.
  if (Display::OwnWindow* own = display_.Own(AsWindow(window))) own->style = style;
}

void X11System::SetParent(WindowHandle child, WindowHandle parent) {
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XReparentWindow(x, AsWindow(child), parent != 0 ? AsWindow(parent) : display_.root(), 0, 0);
  trap.Ok();
}

void X11System::SetOwner(WindowHandle window, WindowHandle owner) {
  Display::OwnWindow* own = display_.Own(AsWindow(window));
  if (!own) return;
  own->owner = owner;
  if (!(own->style & kWsChild) && owner != 0) {
    ErrorTrap trap(display_.xdisplay());
    XSetTransientForHint(display_.xdisplay(), AsWindow(window), AsWindow(owner));
  }
}

void X11System::ShowInParent(WindowHandle window, int32_t width, int32_t height) {
  if (hosted_) return;
  ::Display* d = display_.xdisplay();
  const Window w = AsWindow(window);
  ErrorTrap trap(d);
  // X has no empty windows: 0 x 0 becomes the smallest there is.
  XMoveResizeWindow(d, w, 0, 0, unsigned(std::max(1, width)), unsigned(std::max(1, height)));
  XMapWindow(d, w);
  trap.Ok();
}

bool X11System::SetTopMost(WindowHandle window, bool topmost, bool) {
  if (hosted_) return true;
  ::Display* d = display_.xdisplay();
  const Window w = AsWindow(window);
  ErrorTrap trap(d);
  if (Display::OwnWindow* own = display_.Own(w)) own->topmost = topmost;
  if (topmost) XRaiseWindow(d, w);
  return trap.Ok();
}

void X11System::ChangeSaverPassword(WindowHandle) {
  std::printf(
      "Sarvel keeps no password of its own on X11: the screen locker asks for your login "
      "password.\n");
}

bool X11System::VerifySaverPassword(WindowHandle) { return true; }

OsVersion PosixVersion(const char* release) {
  OsVersion v;
  v.platform_id = kPlatformPosix;
  unsigned numbers[3] = {0, 0, 0};
  const char* p = release;
  for (int i = 0; i < 3 && *p >= '0' && *p <= '9'; ++i) {
    char* end = nullptr;
    numbers[i] = unsigned(std::strtoul(p, &end, 10));
    p = end;
    if (*p != '.') break;
    ++p;
  }
  v.major = numbers[0];
  v.minor = numbers[1];
  v.build = numbers[2];
  std::snprintf(v.csd.data(), v.csd.size(), "%s", release);
  return v;
}

int32_t X11System::QueryVersion(OsVersion& info) {
  if (info.size != 148) return 0;
  utsname u{};
  if (::uname(&u) != 0) return 0;
  info = PosixVersion(u.release);
  info.size = 148;
  return 1;
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

X11Executable::X11Executable() {
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

std::string X11Executable::Folder() { return FolderOf(path_); }

std::string X11Executable::FallbackLogFolder() { return StateFolder(); }

std::string X11Executable::FileTitle() {
  const size_t slash = path_.rfind('/');
  std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

Version X11Executable::FileVersion() {
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

// ---- Process

X11Process::X11Process(Display& display, const std::string& executable_path, bool hosted)
    : display_(display), lock_(InstanceLockPath(executable_path)), hosted_(hosted) {}

void X11Process::EndProgram() {
  display_.Close();
  std::fflush(nullptr);
  std::exit(0);
}

void X11Process::FatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  display_.Close();
  std::exit(1);
}

void X11Process::Beep() {
  if (!display_.xdisplay()) return;
  XBell(display_.xdisplay(), 0);
  XFlush(display_.xdisplay());
}

}  // namespace sarvel::x11
