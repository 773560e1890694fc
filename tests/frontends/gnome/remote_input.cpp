// remote_input: a user's input for a headless GNOME compositor, through its
// remote-desktop API on the session bus (org.gnome.Mutter.RemoteDesktop).
// The compositor ends such a session when the client that made it leaves
// the bus, so one process holds it and takes commands line by line:
//   move DX DY   the pointer moves by DX, DY pixels
//   quit         (so does the end of stdin)
// It prints "ready" once the session runs, and answers each command with
// "ok" once the compositor took it, or with "error: ..." on its own line.
#include <gio/gio.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr char kService[] = "org.gnome.Mutter.RemoteDesktop";

// Calls a method and says what went wrong, if anything.
bool Call(GDBusConnection* bus, const std::string& path, const char* interface, const char* method,
          GVariant* args, GVariant** reply = nullptr) {
  GError* error = nullptr;
  GVariant* result =
      g_dbus_connection_call_sync(bus, kService, path.c_str(), interface, method, args, nullptr,
                                  G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
  if (!result) {
    std::printf("error: %s: %s\n", method, error->message);
    std::fflush(stdout);
    g_error_free(error);
    return false;
  }
  if (reply)
    *reply = result;
  else
    g_variant_unref(result);
  return true;
}

}  // namespace

int main() {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus) {
    std::printf("error: no session bus: %s\n", error->message);
    return 1;
  }
  GVariant* created = nullptr;
  if (!Call(bus, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession", nullptr, &created))
    return 1;
  const gchar* path = nullptr;
  g_variant_get(created, "(&o)", &path);
  const std::string session = path;
  g_variant_unref(created);
  const std::string interface = std::string(kService) + ".Session";
  if (!Call(bus, session, interface.c_str(), "Start", nullptr)) return 1;
  std::printf("ready\n");
  std::fflush(stdout);

  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "quit") break;
    double dx = 0, dy = 0;
    if (command == "move" && words >> dx >> dy) {
      if (Call(bus, session, interface.c_str(), "NotifyPointerMotionRelative",
               g_variant_new("(dd)", dx, dy)))
        std::printf("ok\n");
    } else {
      std::printf("error: unknown command '%s'\n", line.c_str());
    }
    std::fflush(stdout);
  }
  Call(bus, session, interface.c_str(), "Stop", nullptr);
  g_object_unref(bus);
  return 0;
}
