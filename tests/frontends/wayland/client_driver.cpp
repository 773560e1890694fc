// client_driver: the Wayland client layer on its own under a compositor,
// for client_e2e.sh. Every output gets a surface (layer shell, or with
// --fullscreen a full-screen toplevel), or with --window one window gets one,
// showing a test pattern: its own colour with 1-pixel white lines every 32
// device pixels. What happens is printed line by line (a window's NAME is
// "window"):
//   desktop NAME RRGGBB|none      the output's middle pixel before we cover it
//   configured NAME LWxLH DWxDH SCALE
//   shown NAME | filled NAME      a frame committed
//   enter|motion NAME X Y | button NAME B 1|0 | wheel NAME AXIS V | key NAME K 1|0
//   closed NAME | gone NAME
// Commands from stdin: "fill NAME RRGGBB X Y W H" paints the whole image in
// that colour but presents only the rectangle; "quit". A lost compositor ends
// it with status 3 and the reason on stderr; a closed window with status 0.
// usage: client_driver [--fullscreen | --window]
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/gfx/surface.h"
#include "frontends/wayland/connection.h"
#include "frontends/wayland/event_loop.h"
#include "frontends/wayland/output_surface.h"
#include "frontends/wayland/screencopy.h"

namespace sarvel::wayland {
namespace {

void Say(const std::string& line) { std::cout << line << std::endl; }

std::string Hex(gfx::Argb c) {
  char text[8];
  std::snprintf(text, sizeof text, "%06x", unsigned(c & 0xFFFFFF));
  return text;
}

class Scene : public OutputClient, public SurfaceListener, public InputListener {
 public:
  // Over an output (`info`), or a window (null).
  Scene(Connection& connection, const OutputInfo* info, SurfaceKind kind, gfx::Argb colour,
        std::vector<Scene*>& all, std::function<void()> on_closed)
      : name_(info ? info->name : "window"),
        colour_(colour),
        all_(all),
        on_closed_(std::move(on_closed)) {
    all_.push_back(this);
    if (info) {
      gfx::Surface desktop(info->width, info->height, gfx::kBlack);
      const bool read = CopyOutput(connection, info->proxy, desktop);
      Say("desktop " + name_ + " " +
          (read ? Hex(desktop.at(info->width / 2, info->height / 2)) : "none"));
    }
    surface_ =
        std::make_unique<OutputSurface>(connection, kind, info ? info->proxy : nullptr, *this);
    surface_->set_input_listener(this);
  }
  ~Scene() override {
    std::erase(all_, this);
    surface_.reset();
    Say("gone " + name_);
  }
  const std::string& name() const { return name_; }

  void Fill(gfx::Argb colour, const gfx::Rect& r) {
    for (int y = 0; y < image_.height(); ++y) std::fill_n(image_.row(y), image_.width(), colour);
    Show("filled " + name_, std::span<const gfx::Rect>(&r, 1));
  }
  // A frame that was not shown goes with the next tick.
  void Tick() { Show(note_, {}); }

 private:
  void Show(const std::string& note, std::span<const gfx::Rect> rects) {
    note_ = note;
    if (!note_.empty() && surface_->Present(image_, rects)) {
      Say(note_);
      note_.clear();
    }
  }
  void OnConfigured(const SurfaceSize& s) override {
    Say("configured " + name_ + " " + std::to_string(s.logical_width) + "x" +
        std::to_string(s.logical_height) + " " + std::to_string(s.device_width) + "x" +
        std::to_string(s.device_height) + " " + std::to_string(s.scale));
    image_ = gfx::Surface(s.device_width, s.device_height, colour_);
    for (int y = 0; y < image_.height(); ++y) {
      for (int x = 0; x < image_.width(); ++x) {
        if (x % 32 == 0 || y % 32 == 0) image_.row(y)[x] = gfx::kWhite;
      }
    }
    const gfx::Rect all = image_.bounds();
    Show("shown " + name_, std::span<const gfx::Rect>(&all, 1));
  }
  void OnOutputChanged(const OutputInfo&) override { surface_->Rescale(); }
  void OnClosed() override {
    Say("closed " + name_);
    on_closed_();
  }
  void At(const char* what, int x, int y) {
    Say(std::string(what) + " " + name_ + " " + std::to_string(x) + " " + std::to_string(y));
  }
  void OnPointerEnter(int x, int y) override { At("enter", x, y); }
  void OnPointerMotion(int x, int y) override { At("motion", x, y); }
  void OnButton(uint32_t b, bool down) override {
    Say("button " + name_ + " " + std::to_string(b) + " " + (down ? "1" : "0"));
  }
  void OnWheel(uint32_t axis, double v) override {
    Say("wheel " + name_ + " " + std::to_string(axis) + " " + std::to_string(v));
  }
  void OnKey(uint32_t key, bool down) override {
    Say("key " + name_ + " " + std::to_string(key) + " " + (down ? "1" : "0"));
  }

  std::string name_;
  gfx::Argb colour_;
  gfx::Surface image_;
  std::vector<Scene*>& all_;
  std::function<void()> on_closed_;
  std::unique_ptr<OutputSurface> surface_;
  std::string note_;
};

int Drive(const std::string& mode) {
  std::vector<Scene*> scenes;  // outlives the connection, whose clients they are
  std::string error;
  auto connection = Connection::Open(error);
  if (!connection) {
    std::cerr << "client_driver: " << error << "\n";
    return 1;
  }
  const gfx::Argb colours[] = {gfx::Rgb(0xc0, 0x30, 0x30), gfx::Rgb(0x30, 0xa0, 0x40),
                               gfx::Rgb(0x30, 0x50, 0xc0)};
  EventLoop loop(*connection);
  std::unique_ptr<Scene> window;
  if (mode == "--window") {
    window = std::make_unique<Scene>(*connection, nullptr, SurfaceKind::kWindow, colours[0], scenes,
                                     [&] { loop.Quit(); });
  } else {
    const SurfaceKind kind =
        mode == "--fullscreen" ? SurfaceKind::kFullScreen : FullScreenKind(*connection);
    size_t made = 0;
    connection->outputs().SetFactory([&, kind, made](const OutputInfo& info) mutable {
      OutputList& outputs = connection->outputs();
      return std::make_unique<Scene>(*connection, &info, kind, colours[made++ % 3], scenes,
                                     [&outputs, id = info.id] { outputs.Close(id); });
    });
  }
  EventLoop::Timer* frames = loop.AddTimer([&] {
    for (Scene* s : scenes) s->Tick();
  });
  frames->SetInterval(15);
  frames->Enable(true);
  loop.WatchFd(STDIN_FILENO, [&] {
    std::string line, verb, name, hex;
    gfx::Rect r;
    if (!std::getline(std::cin, line) || line == "quit") return loop.Quit();
    std::istringstream in(line);
    in >> verb >> name >> hex >> r.x >> r.y >> r.w >> r.h;
    for (Scene* s : scenes) {
      if (verb == "fill" && s->name() == name)
        s->Fill(0xFF000000u | std::stoul(hex, nullptr, 16), r);
    }
  });
  const bool ok = loop.Run();
  if (!ok) {
    std::cerr << "client_driver: " << connection->failure() << "\n";
    return 3;
  }
  return 0;
}

}  // namespace
}  // namespace sarvel::wayland

int main(int argc, char** argv) { return sarvel::wayland::Drive(argc > 1 ? argv[1] : ""); }
