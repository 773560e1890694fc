// X11: the preview form's window. Created hidden at the top level; start-up makes
// it a child of the window named after /P and sizes it to that window. It
// paints its persistent image on every size change and exposure, takes no
// input, and unloads its form when it is destroyed with its parent, or when
// it is meant to be a child but has no live parent.
#pragma once

#include <memory>

#include "core/ports/preview_view.h"
#include "core/ports/process.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/presenter.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

class PreviewWindowX11 : public PreviewView, private WindowClient {
 public:
  PreviewWindowX11(Display& display, EventLoop& loop, Process& process);
  ~PreviewWindowX11() override;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // PreviewView
  void SetEvents(PreviewEvents* events) override;
  gfx::Surface& WindowImage() override;
  void Refresh() override;

 private:
  // WindowClient
  void HandleEvent(XEvent& event) override;
  void OnTerminateRequest() override { HostGone(); }

  void WatchParent();
  void HostGone();

  Display& display_;
  EventLoop& loop_;
  Process& process_;
  PreviewEvents* events_ = nullptr;
  Window window_ = None;
  gfx::Surface image_;
  std::unique_ptr<Presenter> presenter_;
  EventLoop::Timer* watch_ = nullptr;
  bool mapped_ = false;
  bool host_gone_ = false;
};

}  // namespace sarvel::x11
