// The Win32 presentation of real frames' damage into a full-screen window:
// each rectangle one SetDIBitsToDevice call ("per_rect", the way of old),
// against the rectangles merged at several allowances of extra pixels per
// merge ("merged/N", one call each; the scene window uses the default
// allowance). All in one run, as ratios to per_rect. The messages are
// pumped after each frame, as the saver's loop does, so that what the system
// does then (Wine puts the window's changes to the X server) is counted too.
// Under Wine the X server's CPU time per frame is read from its /proc entry
// (Wine shows the Linux root as drive Z:). Google Benchmark does not come
// built for MinGW: this measures by itself, the median of alternating rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/recorded_frames.h"
#include "frontends/win32/scene_window_win32.h"

namespace {

using sarvel::bench::RecordedFrames;
using sarvel::gfx::RectMerger;

struct Variant {
  std::string name;
  RectMerger merger;
};

struct Round {
  double wall_us = 0;    // per frame
  double cpu_us = 0;     // this process, per frame
  double server_us = 0;  // the X server, per frame; negative where unknown
};

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return double(t.QuadPart) / double(f.QuadPart);
}

double ProcessCpuSeconds() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto value = [](const FILETIME& t) {
    return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
  };
  return value(kernel) + value(user);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

Round Present(HWND window, const RecordedFrames& frames, Variant& v) {
  const double cpu_start = ProcessCpuSeconds(),
               server_start = sarvel::bench::XServerCpuSeconds("Z:"), start = Now();
  for (const auto& damage : frames.damage) {
    HDC dc = GetDC(window);
    sarvel::win32::PaintParts(dc, frames.image, v.merger.Merge(damage, frames.image.bounds()));
    ReleaseDC(window, dc);
    GdiFlush();
    PumpMessages();
  }
  const double n = double(frames.damage.size());
  const double server_end = sarvel::bench::XServerCpuSeconds("Z:");
  return {(Now() - start) * 1e6 / n, (ProcessCpuSeconds() - cpu_start) * 1e6 / n,
          server_start < 0 || server_end < 0 ? -1 : (server_end - server_start) * 1e6 / n};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

// usage: sarvel_present_bench_win32 [ROUNDS]
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const RecordedFrames frames = sarvel::bench::RecordFrames(w, h, 400);
  if (frames.damage.empty()) {
    std::fprintf(stderr, "the scene did not run\n");
    return 1;
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SarvelPresentBench";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                w, h, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  PumpMessages();
  std::vector<Variant> variants{{"per_rect", RectMerger::Unmerged()}};
  for (int64_t allowance : {256, 1024, 4096, 16384})
    variants.push_back({"merged/" + std::to_string(allowance), RectMerger(allowance)});
  std::vector<std::vector<Round>> results(variants.size());
  for (int i = 0; i < rounds; ++i) {
    for (size_t v = 0; v < variants.size(); ++v)
      results[v].push_back(Present(window, frames, variants[v]));
  }
  DestroyWindow(window);

  std::printf("Win32 presentation of %zu frames at %dx%d, median of %d rounds, per frame:\n",
              frames.damage.size(), w, h, rounds);
  std::printf("%-26s %7s %9s %9s %9s %10s   ratios to per_rect: calls px wall cpu server\n", "",
              "calls", "px", "wall_us", "cpu_us", "server_us");
  double base[5] = {};
  for (size_t v = 0; v < variants.size(); ++v) {
    auto median = [&](double Round::*field) {
      std::vector<double> values;
      for (const Round& r : results[v]) values.push_back(r.*field);
      return Median(values);
    };
    const auto amount = sarvel::bench::Amount(frames, variants[v].merger);
    const double row[5] = {amount.rects, amount.pixels, median(&Round::wall_us),
                           median(&Round::cpu_us), median(&Round::server_us)};
    if (v == 0) std::copy(row, row + 5, base);
    std::printf("Present/Win32/%-12s %7.1f %9.0f %9.1f %9.1f %10.1f   %.3f %.2f %.2f %.2f %.2f\n",
                variants[v].name.c_str(), row[0], row[1], row[2], row[3], row[4], row[0] / base[0],
                row[1] / base[1], row[2] / base[2], row[3] / base[3],
                base[4] > 0 ? row[4] / base[4] : 0.0);
  }
  return 0;
}
