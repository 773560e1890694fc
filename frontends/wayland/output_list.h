// Wayland: the outputs (monitors) the compositor offers, and what lives for
// each while it lasts. The list takes plain events (an output added, its
// name, mode and scale, done, removed) so that its bookkeeping can be driven
// without a compositor: the connection feeds it from wl_output and the
// registry. Once an output's first `done` came, the factory makes its client
// (a scene, later); the client goes when the output goes, or when its surface
// is closed (then at the next Sweep, outside the handler that said so).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_output;

namespace sarvel::wayland {

struct OutputInfo {
  uint32_t id = 0;  // the registry's name of the global
  wl_output* proxy = nullptr;
  std::string name;           // "HEADLESS-1", "DP-2" (wl_output v4)
  int width = 0, height = 0;  // the current mode, in device pixels
  int scale = 1;              // wl_output.scale
  bool ready = false;         // the first done came
};

// What lives for one output.
class OutputClient {
 public:
  virtual ~OutputClient() = default;
  // A later `done`: the mode or scale may be new.
  virtual void OnOutputChanged(const OutputInfo& info) { (void)info; }
};

class OutputList {
 public:
  using Factory = std::function<std::unique_ptr<OutputClient>(const OutputInfo&)>;

  OutputList() = default;
  ~OutputList() { Clear(); }
  OutputList(const OutputList&) = delete;
  OutputList& operator=(const OutputList&) = delete;

  // Every ready output gets a client from now on, those already ready at once;
  // a null factory lets every client go and makes no more.
  void SetFactory(Factory factory);

  void Add(uint32_t id, wl_output* proxy);
  void SetName(uint32_t id, std::string name);
  void SetMode(uint32_t id, int width, int height);
  void SetScale(uint32_t id, int scale);
  void Done(uint32_t id);
  // The global went: its client first, then the entry. The proxy to
  // release, or null when `id` is no output of the list.
  wl_output* Remove(uint32_t id);
  // The output's surface will not be shown again: its client goes at the
  // next Sweep, and it gets no other.
  void Close(uint32_t id);
  void Sweep();
  // Every client goes, then every entry; their proxies, to release.
  std::vector<wl_output*> Clear();

  const OutputInfo* Find(uint32_t id) const;
  const OutputInfo* Find(const wl_output* proxy) const;
  OutputClient* ClientOf(uint32_t id) const;
  std::vector<const OutputInfo*> Ready() const;

 private:
  struct Entry {
    OutputInfo info;
    std::unique_ptr<OutputClient> client;
    bool closed = false;
  };
  Entry* Get(uint32_t id);
  void MakeClient(Entry& e);

  std::vector<std::unique_ptr<Entry>> entries_;
  Factory factory_;
};

}  // namespace sarvel::wayland
