// Wayland: the scene window.
#include "frontends/wayland/scene_window_wayland.h"

#include <cstdint>

#include "core/report/guard.h"
#include "frontends/wayland/screencopy.h"
#include "resources/embedded_resources.h"

namespace sarvel::wayland {
namespace {

// Configures come within one or two round trips; a compositor that sends
// none is not waited for longer than this many.
constexpr int kConfigureRoundtrips = 20;

}  // namespace

SceneWindowWayland::SceneWindowWayland(Connection& connection, EventLoop& loop, Screens& screens,
                                       Process& process, SceneWindowOptions options)
    : connection_(connection),
      loop_(loop),
      screens_(screens),
      process_(process),
      options_(options) {}

SceneWindowWayland::~SceneWindowWayland() { Destroy(); }

void SceneWindowWayland::Create() {
  if (created_) return;
  created_ = true;
  image_.set_back_color(gfx::kBlack);
  screens_.Add(this);
  if (input() && !options_.sibling) screens_.set_watcher(this);
  timer_ = loop_.AddTimer([this] { Deliver([&] { events_->OnTimer(); }); });
  timer_->SetInterval(interval_);
}

WindowHandle SceneWindowWayland::handle() const {
  // Wayland names no windows; the number only tells ours apart.
  return created_ ? WindowHandle(reinterpret_cast<intptr_t>(this)) : 0;
}

void SceneWindowWayland::Show(ShowMode) {
  if (!created_) return;
  shown_ = true;
  EnsureSurface();
  PresentAll();
}

void SceneWindowWayland::Destroy() {
  if (!created_) return;
  created_ = false;
  shown_ = false;
  loop_.RemoveTimer(timer_);
  timer_ = nullptr;
  screens_.Remove(this);
  DropSurface();
}

void SceneWindowWayland::Maximize() {
  if (!created_) return;
  if (!EnsureSurface()) {
    // No output to cover: nothing to draw until one comes.
    if (input()) ApplySize(0, 0);
    return;
  }
  ApplySize(surface_->size().device_width, surface_->size().device_height);
}

wl_output* SceneWindowWayland::WantedOutput() const {
  if (!input()) return nullptr;
  if (!has_monitor_) return options_.sibling ? nullptr : screens_.Primary();
  if (wl_output* output = screens_.OutputAt(monitor_)) return output;
  return options_.sibling ? nullptr : screens_.Primary();
}

bool SceneWindowWayland::EnsureSurface() {
  wl_output* wanted = WantedOutput();
  if (surface_ && (surface_->closed() || (input() && surface_->output() != wanted))) DropSurface();
  if (!surface_) {
    if (input() && !wanted) return false;
    const SurfaceKind kind = input() ? FullScreenKind(connection_) : SurfaceKind::kWindow;
    SurfaceListener& listener = *this;
    surface_ = std::make_unique<OutputSurface>(connection_, kind, wanted, listener, options_.width,
                                               options_.height);
    surface_->set_input_listener(this);
  }
  // The size is the compositor's to give. A handler run meanwhile may drop
  // the surface (its output went).
  for (int i = 0;
       i < kConfigureRoundtrips && surface_ && !surface_->configured() && !surface_->closed();
       ++i) {
    if (!connection_.Roundtrip()) break;
  }
  return surface_ && surface_->configured() && !surface_->closed();
}

void SceneWindowWayland::DropSurface() { surface_.reset(); }

void SceneWindowWayland::ApplySize(int width, int height) {
  if (width == image_.width() && height == image_.height()) return;
  image_.Resize(width, height);
  Deliver([&] { events_->OnResize(); });
}

void SceneWindowWayland::SetTimerInterval(int32_t milliseconds) {
  interval_ = std::max<int32_t>(1, milliseconds);
  if (timer_) timer_->SetInterval(interval_);
}

void SceneWindowWayland::EnableTimer(bool enabled) {
  if (timer_) timer_->Enable(enabled);
}

void SceneWindowWayland::CaptureDesktop(gfx::Surface& into, int, int) {
  // `into` is the scene's w x h already: the output's picture fills it. A
  // window has no output of its own to read.
  if (!input() || !surface_ || !surface_->output()) return;
  CopyOutput(connection_, surface_->output(), into);
}

bool SceneWindowWayland::Visible() {
  return shown_ && surface_ && surface_->configured() && !surface_->closed();
}

void SceneWindowWayland::PresentAll() {
  if (!Visible()) return;
  const gfx::Rect all = image_.bounds();
  surface_->Present(image_, std::span<const gfx::Rect>(&all, 1));
}

void SceneWindowWayland::Refresh() { PresentAll(); }

void SceneWindowWayland::RefreshRects(std::span<const gfx::Rect> rects) {
  // A frame the compositor is not ready for keeps its parts for the next.
  if (Visible()) surface_->Present(image_, rects);
}

double SceneWindowWayland::DeviceScale() { return scale_; }

const gfx::Font& SceneWindowWayland::SceneFont() {
  if (font_scale_ != scale_) {
    font_scale_ = scale_;
    font_ = FtFont::SceneFont(96.0 * scale_);
  }
  // Without either face the scene keeps its own pre-rendered look-alike.
  if (font_) return *font_;
  return EmbeddedSceneFont(scale_);
}

std::vector<gfx::Rect> SceneWindowWayland::Monitors() {
  if (!input()) return {};
  return screens_.Monitors();
}

void SceneWindowWayland::SetMonitor(const gfx::Rect& monitor) {
  monitor_ = monitor;
  has_monitor_ = !monitor.empty();
}

std::unique_ptr<SceneView> SceneWindowWayland::CreateSibling() {
  if (!input()) return nullptr;
  SceneWindowOptions sibling = options_;
  sibling.sibling = true;
  return std::make_unique<SceneWindowWayland>(connection_, loop_, screens_, process_, sibling);
}

void SceneWindowWayland::Terminate() {
  Deliver([&] { events_->OnTerminate(); });
}

void SceneWindowWayland::Deliver(auto&& fn) {
  if (events_) Guarded(process_, "sarvel", fn);
}

// ---- The surface's events

void SceneWindowWayland::OnConfigured(const SurfaceSize& size) {
  scale_ = size.scale;
  ApplySize(size.device_width, size.device_height);
  // New buffers: the whole image goes into them.
  PresentAll();
}

void SceneWindowWayland::OnClosed() {
  // Called inside the surface's handler: what follows waits until the
  // handlers are done.
  if (surface_ && surface_->kind() == SurfaceKind::kLayer) {
    // The output will not show us again: it is no monitor of the run any more.
    connection_.outputs().Close(screens_.IdOf(surface_->output()));
  } else {
    closed_ = true;
  }
}

void SceneWindowWayland::OnOutputChanged(wl_output* output) {
  if (surface_ && surface_->output() == output) surface_->Rescale();
}

void SceneWindowWayland::OnOutputGone(wl_output* output) {
  if (surface_ && surface_->output() == output) DropSurface();
}

void SceneWindowWayland::DeliverPending() {
  if (!closed_) return;
  closed_ = false;
  Terminate();
}

void SceneWindowWayland::OnMonitorsChanged() {
  Deliver([&] { events_->OnDisplayChange(); });
}

// ---- Input: every kind of it ends a full-screen run; a window takes none.

void SceneWindowWayland::OnPointerEnter(int x, int y) {
  // Where the pointer came in is the reference of the movements that follow.
  if (input()) Deliver([&] { events_->OnMouseMove(float(x), float(y)); });
}

void SceneWindowWayland::OnPointerMotion(int x, int y) {
  if (input()) Deliver([&] { events_->OnMouseMove(float(x), float(y)); });
}

void SceneWindowWayland::OnButton(uint32_t, bool pressed) {
  if (!input()) return;
  if (pressed) {
    Deliver([&] { events_->OnMouseDown(); });
  } else {
    Deliver([&] { events_->OnClick(); });
  }
}

void SceneWindowWayland::OnWheel(uint32_t, double) {
  // A turn of the wheel is a touch, as a button is.
  if (input()) Deliver([&] { events_->OnMouseDown(); });
}

void SceneWindowWayland::OnKey(uint32_t, bool pressed) {
  if (input() && pressed) Deliver([&] { events_->OnKeyDown(); });
}

}  // namespace sarvel::wayland
