// A stand-in for the display settings: a window with a 152 x 112 preview
// area, into which it starts "Sarvel.scr /p <handle>" (or "/p:<handle>").
// Checks that exactly one child of that size appears, that it painted the
// preview picture (asked from the child itself: Wine shows nothing of another
// process's child window to a screen capture, and its PrintWindow cannot draw
// into another process's device context), then destroys its own
// window and checks that the saver process ends within 5 seconds, leaving
// the system's screen-saver activation on as it found it.
// usage: preview_host.exe Sarvel.scr space|colon [picture.bmp]
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/frontends/win32/driver_support.h"

namespace {

using namespace sarvel::e2e;

constexpr int kAreaW = PreviewHost::kAreaW;
constexpr int kAreaH = PreviewHost::kAreaH;

std::vector<uint32_t> received;  // width, height, pixels

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
    if (cds->dwData == 0x53525649 && cds->cbData >= 8) {
      const auto* p = static_cast<const uint32_t*>(cds->lpData);
      received.assign(p, p + cds->cbData / 4);
    }
    return TRUE;
  }
  return DefWindowProcW(h, m, w, l);
}

// The child's image as it painted it: asked from the child itself, since
// Wine's PrintWindow cannot draw into another process's device context.
std::vector<uint32_t> AskImage(HWND child, HWND host) {
  received.clear();
  SendMessageW(child, RegisterWindowMessageW(L"Sarvel.WindowImageRequest"),
               reinterpret_cast<WPARAM>(host), 0);
  if (received.size() < 2 || received[0] != kAreaW || received[1] != kAreaH ||
      received.size() != 2 + size_t(kAreaW) * kAreaH)
    return {};
  return std::vector<uint32_t>(received.begin() + 2, received.end());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: preview_host Sarvel.scr space|colon\n");
    return 2;
  }
  const bool colon = std::wstring(argv[2]) == L"colon";
  PreviewHost host(HostProc, RGB(255, 0, 255));  // magenta: pixels left unpainted
  Pump(300);
  Check(SwitchScreenSaverOn(), "screen-saver activation is on before the preview");

  const SaverProcess saver(
      argv[1], (colon ? L"/p:" : L"/p ") + std::to_wstring(reinterpret_cast<uintptr_t>(host.area)));
  if (!saver.started) {
    std::printf("FAIL: cannot start the saver (%lu)\n", GetLastError());
    return 1;
  }

  std::vector<HWND> children;
  PumpUntil(10000, [&] {
    children = WindowsOf(saver.pi.dwProcessId, host.area);
    return !children.empty();
  });
  Check(children.size() == 1, "one child window of the saver in the preview area");
  if (children.size() == 1) {
    HWND child = children[0];
    RECT rc{};
    PumpUntil(5000, [&] {
      GetClientRect(child, &rc);
      return rc.right == kAreaW && rc.bottom == kAreaH;
    });
    Check(rc.right == kAreaW && rc.bottom == kAreaH,
          "the child is exactly the preview area's size");
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    Check((style & WS_CHILD) && !(style & WS_POPUP), "a child window, no popup");
    Check(GetParent(child) == host.area, "its parent is the preview area");
    std::vector<uint32_t> px;
    // Until it has painted its picture: many colours, not a cleared area.
    PumpUntil(5000, [&] {
      px = AskImage(child, host.frame);
      return std::set<uint32_t>(px.begin(), px.end()).size() > 500;
    });
    Check(!px.empty(), "the child sent a copy of its 152 x 112 image");
    if (!px.empty()) {
      std::set<uint32_t> colours(px.begin(), px.end());
      int host_coloured = 0, sky_blue = 0;
      for (int y = 0; y < kAreaH; ++y) {
        for (int x = 0; x < kAreaW; ++x) {
          const uint32_t c = px[size_t(y) * kAreaW + size_t(x)] & 0xFFFFFF;
          host_coloured += c == 0xFF00FF;
          const int r = (c >> 16) & 255, b = c & 255;
          if (y < 20) sky_blue += b > 150 && b > r + 40;
        }
      }
      std::printf("   %zu colours, %d host-coloured pixels, %d sky pixels in the top rows\n",
                  colours.size(), host_coloured, sky_blue);
      if (argc > 3) {  // keep what the child painted, to look at
        if (FILE* f = _wfopen(argv[3], L"wb")) {
          const uint32_t row = kAreaW * 3, size = row * kAreaH;
          const uint32_t h[13] = {
              0,    0,    54, 40, uint32_t(kAreaW), uint32_t(kAreaH), 1u | (24u << 16), 0, size,
              3780, 3780, 0,  0};
          std::fputc('B', f), std::fputc('M', f);
          const uint32_t file_size = 54 + size;
          std::fwrite(&file_size, 4, 1, f);
          std::fwrite(h + 1, 4, 12, f);
          for (int y = kAreaH - 1; y >= 0; --y)
            for (int x = 0; x < kAreaW; ++x)
              std::fwrite(&px[size_t(y) * kAreaW + size_t(x)], 3, 1, f);
          std::fclose(f);
        }
      }
      Check(host_coloured == 0, "the whole area is painted");
      Check(colours.size() > 500, "a picture, not a flat colour");
      Check(sky_blue > 20 * kAreaW / 2, "the blue sky of the preview picture at the top");
    }
  }

  DestroyWindow(host.frame);
  Check(saver.EndsWithin(5000), "the saver ends within 5 seconds of the preview area going away");
  Check(ScreenSaverActive() == 1, "screen-saver activation is still on after the preview");
  return Report();
}
