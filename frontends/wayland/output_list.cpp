// Wayland: the outputs' bookkeeping.
#include "frontends/wayland/output_list.h"

#include <algorithm>

namespace sarvel::wayland {

OutputList::Entry* OutputList::Get(uint32_t id) {
  for (auto& e : entries_) {
    if (e->info.id == id) return e.get();
  }
  return nullptr;
}

const OutputInfo* OutputList::Find(uint32_t id) const {
  for (const auto& e : entries_) {
    if (e->info.id == id) return &e->info;
  }
  return nullptr;
}

const OutputInfo* OutputList::Find(const wl_output* proxy) const {
  for (const auto& e : entries_) {
    if (e->info.proxy == proxy) return &e->info;
  }
  return nullptr;
}

OutputClient* OutputList::ClientOf(uint32_t id) const {
  for (const auto& e : entries_) {
    if (e->info.id == id) return e->client.get();
  }
  return nullptr;
}

std::vector<const OutputInfo*> OutputList::Ready() const {
  std::vector<const OutputInfo*> ready;
  for (const auto& e : entries_) {
    if (e->info.ready) ready.push_back(&e->info);
  }
  return ready;
}

void OutputList::SetFactory(Factory factory) {
  factory_ = std::move(factory);
  if (!factory_) {
    for (auto& e : entries_) e->client.reset();
    return;
  }
  // Index loop: a factory may run the connection and add outputs.
  for (size_t i = 0; i < entries_.size(); ++i) MakeClient(*entries_[i]);
}

void OutputList::MakeClient(Entry& e) {
  if (!factory_ || !e.info.ready || e.client || e.closed) return;
  e.client = factory_(e.info);
}

void OutputList::Add(uint32_t id, wl_output* proxy) {
  if (Get(id)) return;
  auto e = std::make_unique<Entry>();
  e->info.id = id;
  e->info.proxy = proxy;
  e->info.name = "output-" + std::to_string(id);  // until wl_output v4 names it
  entries_.push_back(std::move(e));
}

void OutputList::SetName(uint32_t id, std::string name) {
  if (Entry* e = Get(id)) e->info.name = std::move(name);
}

void OutputList::SetMode(uint32_t id, int width, int height) {
  if (Entry* e = Get(id)) {
    e->info.width = width;
    e->info.height = height;
  }
}

void OutputList::SetScale(uint32_t id, int scale) {
  if (Entry* e = Get(id)) e->info.scale = std::max(1, scale);
}

void OutputList::Done(uint32_t id) {
  Entry* e = Get(id);
  if (!e) return;
  if (!e->info.ready) {
    e->info.ready = true;
    MakeClient(*e);
  } else if (e->client) {
    e->client->OnOutputChanged(e->info);
  }
}

wl_output* OutputList::Remove(uint32_t id) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [id](const auto& e) { return e->info.id == id; });
  if (it == entries_.end()) return nullptr;
  // The client may still use the proxy while it goes.
  (*it)->client.reset();
  wl_output* proxy = (*it)->info.proxy;
  entries_.erase(it);
  return proxy;
}

void OutputList::Close(uint32_t id) {
  if (Entry* e = Get(id)) e->closed = true;
}

void OutputList::Sweep() {
  for (auto& e : entries_) {
    if (e->closed) e->client.reset();
  }
}

std::vector<wl_output*> OutputList::Clear() {
  std::vector<wl_output*> proxies;
  for (auto& e : entries_) {
    e->client.reset();
    proxies.push_back(e->info.proxy);
  }
  entries_.clear();
  return proxies;
}

}  // namespace sarvel::wayland
