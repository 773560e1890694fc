// GNOME: the idle watcher's bus, child process and loop.
#include "frontends/gnome/gnome_idle.h"

#include <gio/gio.h>
#include <glib-unix.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "frontends/gnome/idle_watch.h"

namespace sarvel::gnome {
namespace {

constexpr char kService[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char kInterface[] = "org.gnome.Mutter.IdleMonitor";
constexpr int kCallTimeoutMs = 5000;
constexpr auto kSaverGrace = std::chrono::seconds(3);

constexpr char kNoMonitor[] =
    "sarvel: --idle watches the idle time that GNOME publishes on the session bus\n"
    "(%s), and found none: %s\n"
    "Elsewhere the desktop's own screen saver runs sarvel (see 'man 6 sarvel').\n";

class DbusIdleMonitor : public IdleMonitor {
 public:
  explicit DbusIdleMonitor(GDBusConnection* bus) : bus_(bus) {}

  // An error text when the monitor does not answer, else empty.
  std::string Probe() {
    GError* error = nullptr;
    GVariant* reply = Call("GetIdletime", nullptr, G_VARIANT_TYPE("(t)"), &error);
    return Outcome(reply, error);
  }
  uint32_t AddIdleWatch(uint64_t interval_ms) override {
    return WatchId(Call("AddIdleWatch", g_variant_new("(t)", guint64(interval_ms)),
                        G_VARIANT_TYPE("(u)"), nullptr));
  }
  uint32_t AddUserActiveWatch() override {
    return WatchId(Call("AddUserActiveWatch", nullptr, G_VARIANT_TYPE("(u)"), nullptr));
  }
  void RemoveWatch(uint32_t id) override {
    Outcome(Call("RemoveWatch", g_variant_new("(u)", guint32(id)), nullptr, nullptr), nullptr);
  }

 private:
  GVariant* Call(const char* method, GVariant* args, const GVariantType* reply, GError** error) {
    return g_dbus_connection_call_sync(bus_, kService, kPath, kInterface, method, args, reply,
                                       G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr,
                                       error);
  }
  static uint32_t WatchId(GVariant* reply) {
    if (!reply) return 0;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    return id;
  }
  static std::string Outcome(GVariant* reply, GError* error) {
    if (reply) g_variant_unref(reply);
    if (!error) return reply ? "" : "no answer";
    std::string text = error->message;
    g_error_free(error);
    return text;
  }
  GDBusConnection* bus_;
};

// The saver: this program, full screen, as a child that dies with us.
class ChildSaver : public SaverProcess {
 public:
  ~ChildSaver() override { Stop(); }

  bool Start() override {
    char program[] = "/proc/self/exe", name[] = "sarvel", full_screen[] = "/S";
    char* argv[] = {program, name, full_screen, nullptr};
    GError* error = nullptr;
    const auto flags = GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_FILE_AND_ARGV_ZERO);
    if (!g_spawn_async(nullptr, argv, nullptr, flags, EndWithParent, nullptr, &pid_, &error)) {
      std::fprintf(stderr, "sarvel: the saver did not start: %s\n", error->message);
      g_error_free(error);
      return false;
    }
    watch_ = g_child_watch_add(pid_, OnExit, this);
    return true;
  }
  bool Running() const override { return pid_ != 0; }
  void Stop() override {
    if (pid_ == 0) return;
    g_source_remove(watch_);
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kSaverGrace;
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = 0;
  }

 private:
  // In the child: a watcher killed outright takes its saver along.
  static void EndWithParent(gpointer) { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }
  static void OnExit(GPid pid, gint, gpointer self) {
    g_spawn_close_pid(pid);
    static_cast<ChildSaver*>(self)->pid_ = 0;
  }
  GPid pid_ = 0;
  guint watch_ = 0;
};

struct Loop {
  GMainLoop* main = g_main_loop_new(nullptr, FALSE);
  int status = 0;
  ~Loop() { g_main_loop_unref(main); }
  void End(int exit_status, const char* why) {
    if (why) std::fprintf(stderr, "sarvel: %s; the idle watcher ends\n", why);
    status = exit_status;
    g_main_loop_quit(main);
  }
};

struct Context {
  Loop loop;
  IdleWatch* watch = nullptr;
};

void OnWatchFired(GDBusConnection*, const char*, const char*, const char*, const char*,
                  GVariant* parameters, gpointer data) {
  auto* context = static_cast<Context*>(data);
  guint32 id = 0;
  g_variant_get(parameters, "(u)", &id);
  if (!context->watch->OnWatchFired(id)) context->loop.End(1, "the idle monitor refused a watch");
}

void OnBusClosed(GDBusConnection*, gboolean, GError*, gpointer data) {
  static_cast<Context*>(data)->loop.End(1, "the session bus went away");
}

void OnMonitorGone(GDBusConnection*, const char*, gpointer data) {
  static_cast<Context*>(data)->loop.End(1, "the idle monitor left the session bus");
}

gboolean OnSignal(gpointer data) {
  static_cast<Context*>(data)->loop.End(0, nullptr);
  return G_SOURCE_CONTINUE;
}

}  // namespace

int RunIdleWatcher(uint64_t idle_ms) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus) {
    std::fprintf(stderr, kNoMonitor, kService, error->message);
    g_error_free(error);
    return 1;
  }
  DbusIdleMonitor monitor(bus);
  if (const std::string problem = monitor.Probe(); !problem.empty()) {
    std::fprintf(stderr, kNoMonitor, kService, problem.c_str());
    g_object_unref(bus);
    return 1;
  }
  g_dbus_connection_set_exit_on_close(bus, FALSE);
  Context context;
  ChildSaver saver;
  IdleWatch watch(monitor, saver, idle_ms);
  context.watch = &watch;
  const gulong closed = g_signal_connect(bus, "closed", G_CALLBACK(OnBusClosed), &context);
  const guint fired =
      g_dbus_connection_signal_subscribe(bus, kService, kInterface, "WatchFired", kPath, nullptr,
                                         G_DBUS_SIGNAL_FLAGS_NONE, OnWatchFired, &context, nullptr);
  const guint presence = g_bus_watch_name_on_connection(
      bus, kService, G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr, OnMonitorGone, &context, nullptr);
  const guint signals[] = {g_unix_signal_add(SIGTERM, OnSignal, &context),
                           g_unix_signal_add(SIGINT, OnSignal, &context),
                           g_unix_signal_add(SIGHUP, OnSignal, &context)};
  if (watch.Begin()) {
    std::fprintf(
        stderr, "sarvel: watching GNOME's idle time; the saver starts after %g min without input\n",
        double(idle_ms) / 60000.0);
    g_main_loop_run(context.loop.main);
  } else
    context.loop.End(1, "the idle monitor refused a watch");
  watch.End();
  for (guint source : signals) g_source_remove(source);
  g_bus_unwatch_name(presence);
  g_dbus_connection_signal_unsubscribe(bus, fired);
  g_signal_handler_disconnect(bus, closed);
  g_object_unref(bus);
  return context.loop.status;
}

}  // namespace sarvel::gnome
