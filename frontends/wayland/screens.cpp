// Wayland: the outputs as monitors.
#include "frontends/wayland/screens.h"

#include <algorithm>

namespace sarvel::wayland {

// Lives while its output is ready and not closed.
class Screens::Presence final : public OutputClient {
 public:
  Presence(Screens& screens, wl_output* output) : screens_(screens), output_(output) {
    screens_.changed_ = true;
  }
  ~Presence() override { screens_.OutputGone(output_); }
  void OnOutputChanged(const OutputInfo&) override { screens_.OutputChanged(output_); }

 private:
  Screens& screens_;
  wl_output* output_;
};

Screens::Screens(OutputList& outputs) : outputs_(outputs) {
  outputs_.SetFactory(
      [this](const OutputInfo& info) { return std::make_unique<Presence>(*this, info.proxy); });
}

Screens::~Screens() {
  clients_.clear();
  watcher_ = nullptr;
  // The presences tell us as they go: before we do.
  outputs_.SetFactory(nullptr);
}

std::vector<gfx::Rect> Screens::Monitors() const {
  std::vector<gfx::Rect> rects;
  int left = 0;
  const OutputList& outputs = outputs_;
  for (const OutputInfo* info : outputs.Ready()) {
    if (!outputs.ClientOf(info->id)) continue;  // closed
    const int w = std::max(1, info->width / info->scale),
              h = std::max(1, info->height / info->scale);
    rects.push_back({left, 0, w, h});
    left += w;
  }
  return rects;
}

wl_output* Screens::OutputAt(const gfx::Rect& rect) const {
  const std::vector<gfx::Rect> rects = Monitors();
  const auto it = std::find(rects.begin(), rects.end(), rect);
  if (it == rects.end()) return nullptr;
  size_t index = size_t(it - rects.begin());
  const OutputList& outputs = outputs_;
  for (const OutputInfo* info : outputs.Ready()) {
    if (!outputs.ClientOf(info->id)) continue;
    if (index-- == 0) return info->proxy;
  }
  return nullptr;
}

wl_output* Screens::Primary() const {
  const OutputList& outputs = outputs_;
  for (const OutputInfo* info : outputs.Ready()) {
    if (outputs.ClientOf(info->id)) return info->proxy;
  }
  return nullptr;
}

uint32_t Screens::IdOf(const wl_output* output) const {
  const OutputInfo* info = output ? outputs_.Find(output) : nullptr;
  return info ? info->id : 0;
}

void Screens::Remove(ScreenClient* client) {
  std::erase(clients_, client);
  if (watcher_ == client) watcher_ = nullptr;
}

bool Screens::TakeChange() {
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

void Screens::OutputChanged(wl_output* output) {
  changed_ = true;
  for (ScreenClient* c : std::vector(clients_)) c->OnOutputChanged(output);
}

void Screens::OutputGone(wl_output* output) {
  changed_ = true;
  for (ScreenClient* c : std::vector(clients_)) c->OnOutputGone(output);
}

void Screens::DeliverPending() {
  // A delivery may end windows, or make new ones: each is looked up anew.
  for (ScreenClient* c : std::vector(clients_)) {
    if (std::find(clients_.begin(), clients_.end(), c) != clients_.end()) c->DeliverPending();
  }
  if (watcher_ && TakeChange()) watcher_->OnMonitorsChanged();
}

}  // namespace sarvel::wayland
