// Faults at the edge of the platform, under Wine (or on Windows), driven from
// outside the saver process. Each scenario runs a private copy of Sarvel.scr
// in a fresh folder, so that its error log and its instance are its own:
//
//   preview-race    the display settings destroy the preview area right after
//                   starting the saver, and again the moment its child window
//                   appears; handles of 0, of no window, negative and beyond
//                   32 bits. The saver ends within 10 seconds every time
//                   (typically under one; a loaded machine can take
//                   seconds just to start a process).
//   two-at-once     two full-screen starts at the same moment: exactly one
//                   runs.
//   log-locked      the error log held open without sharing by another
//                   process: the report goes to %LOCALAPPDATA%\Sarvel and
//                   the run still ends (a full disk and a folder of the
//                   log's name: startup_e2e.sh).
//   unicode-picture a picture in a folder with non-ASCII characters is shown.
//   resize          the scene window resized from outside, down to nothing,
//                   then a display change: the scene runs on, covers the
//                   screen again, and reports nothing.
//   store-shared    another process rewrites the settings while the dialog is
//                   open: OK writes the dialog's values, the background kind
//                   stays as last written, everything reads back.
//
//   reliability_driver <Sarvel.scr> <scenario>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/dialogs/config_controls.h"
#include "frontends/win32/dialog_ids.h"
#include "tests/frontends/win32/driver_support.h"
#include "tests/support/bitmap_bytes.h"

namespace {

using namespace sarvel;
using namespace sarvel::win32;
using namespace sarvel::e2e;

// ---------------------------------------------------------------- files

// A fresh folder with a copy of the saver.
struct Sandbox {
  explicit Sandbox(const std::wstring& scr) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"sarvel-rel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
    saver = folder + L"\\Sarvel.scr";
    Check(CopyFileW(scr.c_str(), saver.c_str(), FALSE) != 0, "a private copy of the saver");
    log = folder + L"\\Sarvel.EPT";
  }
  ~Sandbox() {
    std::error_code ignored;  // best effort
    std::filesystem::remove_all(folder, ignored);
  }
  std::wstring folder, saver, log;
};

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int Protocols(const std::wstring& log) {
  const std::string text = ReadAll(log);
  int n = 0;
  for (size_t at = text.find("F E H L E R"); at != std::string::npos;
       at = text.find("F E H L E R", at + 1))
    ++n;
  return n;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

// Ends a full-screen run the way a user does: a key.
bool EndWithKey(const SaverProcess& p, HWND scene) {
  PostMessageW(scene, WM_KEYDOWN, 'A', 0);
  return p.EndsWithin(5000);
}

// ---------------------------------------------------------------- preview race

// The saver in preview mode with `args`; the host goes away as `when` says.
// Returns how long the saver took to end after that, in ms (-1: it did not
// end within 10 s).
enum class When { kAtOnce, kOnChild, kNever };
long PreviewRun(const std::wstring& scr, const std::wstring& args, When when) {
  PreviewHost host(DefWindowProcW, RGB(128, 128, 128));
  const std::wstring command =
      args.empty() ? L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(host.area)) : args;
  SaverProcess saver(scr, command);
  if (!saver.started) return -1;
  if (when == When::kAtOnce) DestroyWindow(host.frame);
  if (when == When::kOnChild) {
    PumpUntil(10000, [&] {
      return !saver.Running() || !WindowsOf(saver.pi.dwProcessId, host.area).empty();
    });
    DestroyWindow(host.frame);
  }
  const DWORD from = GetTickCount();
  if (!saver.EndsWithin(10000)) return -1;
  return long(GetTickCount() - from);
}

void PreviewRace(const std::wstring& scr) {
  Sandbox box(scr);
  constexpr int kRuns = 15;
  for (When when : {When::kAtOnce, When::kOnChild}) {
    const char* name = when == When::kAtOnce ? "destroyed right after the start"
                                             : "destroyed as the child appears";
    int ended = 0;
    long slowest = 0;
    for (int i = 0; i < kRuns; ++i) {
      const long ms = PreviewRun(box.saver, L"", when);
      if (ms >= 0) ++ended;
      slowest = std::max(slowest, ms);
    }
    Check(ended == kRuns, std::string("preview area ") + name +
                              ": the saver ended within 10 s in " + std::to_string(ended) + " of " +
                              std::to_string(kRuns) + " runs (slowest " + std::to_string(slowest) +
                              " ms)");
  }
  // A handle of a window that no longer exists.
  HWND gone = CreateWindowExW(0, PreviewHost::kClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  const std::wstring dead = std::to_wstring(reinterpret_cast<uintptr_t>(gone));
  DestroyWindow(gone);
  for (const std::wstring& args : {std::wstring(L"/p 0"), std::wstring(L"/p"), L"/p " + dead,
                                   std::wstring(L"/p -5"), std::wstring(L"/p 4294967296")}) {
    const long ms = PreviewRun(box.saver, args, When::kNever);
    Check(ms >= 0, std::string("'") + Narrow(args) + "' ends by itself within 10 s (" +
                       std::to_string(ms) + " ms)");
  }
  Check(Protocols(box.log) == 3,
        std::string("only the handle beyond 32 bits was reported, a bounded 3 times (") +
            std::to_string(Protocols(box.log)) + ")");
}

// ---------------------------------------------------------------- instances

void TwoAtOnce(const std::wstring& scr) {
  Sandbox box(scr);
  WriteSettings({{L"Background", L"2"}});
  for (int round = 0; round < 3; ++round) {
    SaverProcess a(box.saver, L"/S");
    SaverProcess b(box.saver, L"/S");
    // The one that finds the other ends at once; give a slow machine time.
    PumpUntil(10000, [&] { return !a.Running() || !b.Running(); });
    const SaverProcess& alive = a.Running() ? a : b;
    HWND scene = WaitForWindow(alive, 15000);
    Pump(1000);  // the one that runs goes on: a second later still one
    const int running = int(a.Running()) + int(b.Running());
    Check(running == 1,
          std::string("two starts at once: exactly one runs (") + std::to_string(running) + ")");
    Check(scene && WindowsOf(alive.pi.dwProcessId).size() == 1, "one scene window");
    if (scene) Check(EndWithKey(alive, scene), "a key ends the one that runs");
  }
  Check(Protocols(box.log) == 0, "nothing reported");
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

// ---------------------------------------------------------------- error log

std::wstring FallbackLog() {
  wchar_t base[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  return std::wstring(base, n) + L"\\Sarvel\\Sarvel.EPT";
}

// A full-screen run whose picture is missing reports once and ends.
bool FailingRunEnds(const Sandbox& box) {
  WriteSettings({{L"Background", L"5"}, {L"PicFile", box.folder + L"\\missing.jpg"}});
  SaverProcess saver(box.saver, L"/S");
  return saver.EndsWithin(10000);
}

void LogLocked(const std::wstring& scr) {
  const std::wstring fallback = FallbackLog();
  DeleteFileW(fallback.c_str());
  {
    Sandbox box(scr);
    WriteFileBytes(box.log, "");
    HANDLE held = CreateFileW(box.log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    Check(held != INVALID_HANDLE_VALUE, "the log is held open without sharing");
    Check(FailingRunEnds(box), "with the log locked, the run still ends");
    CloseHandle(held);
    Check(ReadAll(box.log).empty(), "the locked log is untouched");
    Check(Protocols(fallback) == 1, "the report is in %LOCALAPPDATA%\\Sarvel\\Sarvel.EPT");
  }
  DeleteFileW(fallback.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

// ---------------------------------------------------------------- the scene

// Share of the top row's pixels, between x0 and x1, that are close to `rgb`.
double ShareOf(COLORREF rgb, int x0, int x1) {
  HDC screen = GetDC(nullptr);
  int matching = 0;
  for (int x = x0; x < x1; ++x) {
    const COLORREF c = GetPixel(screen, x, 1);
    matching += std::abs(int(GetRValue(c)) - GetRValue(rgb)) < 40 &&
                std::abs(int(GetGValue(c)) - GetGValue(rgb)) < 40 &&
                std::abs(int(GetBValue(c)) - GetBValue(rgb)) < 40;
  }
  ReleaseDC(nullptr, screen);
  return double(matching) / (x1 - x0);
}

void UnicodePicture(const std::wstring& scr) {
  Sandbox box(scr);
  const std::wstring dir = box.folder + L"\\B\u00e4ume \u2013 \u79cb";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring picture = dir + L"\\Herbst \u00e9t\u00e9.bmp";
  WriteFileBytes(picture, sarvel::test::BitmapBytes(64, 48));
  WriteSettings({{L"Background", L"5"}, {L"PicFile", picture}});
  SaverProcess saver(box.saver, L"/S");
  HWND scene = WaitForWindow(saver, 15000);
  Check(scene != nullptr, "the scene appears");
  if (scene) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    double red = 0, blue = 0;
    PumpUntil(10000, [&] {
      red = ShareOf(RGB(255, 0, 0), 0, w / 3);
      blue = ShareOf(RGB(0, 0, 255), 2 * w / 3, w);
      return red > 0.6 && blue > 0.6;
    });
    Check(red > 0.6 && blue > 0.6, std::string("the picture is shown: red left, blue right (") +
                                       std::to_string(red) + ", " + std::to_string(blue) + ")");
    Check(EndWithKey(saver, scene), "a key ends the run");
  }
  DeleteFileW(picture.c_str());
  RemoveDirectoryW(dir.c_str());
  Check(Protocols(box.log) == 0, "nothing reported");
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

void Resize(const std::wstring& scr) {
  Sandbox box(scr);
  WriteSettings({{L"Background", L"2"}, {L"Restart", L"1"}, {L"rTime", L"1"}});
  SaverProcess saver(box.saver, L"/S");
  HWND scene = WaitForWindow(saver, 15000);
  Check(scene != nullptr, "the scene appears");
  if (!scene) return;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const SIZE sizes[] = {{1, 1},   {0, 0},         {300, 2},   {2, 300}, {0, 200},
                        {40, 30}, {w / 2, h / 3}, {w * 2, 5}, {w, h}};
  for (const SIZE& s : sizes) {
    SetWindowPos(scene, nullptr, 0, 0, s.cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    Pump(700);  // frames, and a restart every second
    Check(saver.Running(),
          std::string("runs on at ") + std::to_string(s.cx) + " x " + std::to_string(s.cy));
  }
  SetWindowPos(scene, nullptr, 0, 0, w / 2, h / 2, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  SendMessageTimeoutW(scene, WM_DISPLAYCHANGE, 32, MAKELPARAM(w, h), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  RECT r{};
  PumpUntil(5000, [&] {
    GetWindowRect(scene, &r);
    return r.left == 0 && r.top == 0 && r.right == w && r.bottom == h;
  });
  Check(r.left == 0 && r.top == 0 && r.right == w && r.bottom == h,
        std::string("after a display change the scene covers the screen again (") +
            std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top) + ")");
  Check(saver.Running() && EndWithKey(saver, scene), "a key still ends the run");
  Check(Protocols(box.log) == 0,
        std::string("nothing reported (") + std::to_string(Protocols(box.log)) + ")");
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

// ---------------------------------------------------------------- the store

void StoreShared(const std::wstring& scr) {
  Sandbox box(scr);
  WriteSettings(EverySetting({L"3", L"2.5", L"0", L"0", L"0", L"120", L"2", L"old.bmp"}));
  SaverProcess saver(box.saver, L"/C");
  HWND dialog = WaitForWindow(saver, 15000);
  Check(dialog != nullptr, "the settings dialog appears");
  if (!dialog) return;
  // Another process writes every key while the dialog is open.
  WriteSettings(EverySetting({L"9", L"9.5", L"1", L"1", L"1", L"3000", L"3", L"theirs.jpg"}));
  HWND slider = GetDlgItem(dialog, ConfigControlId(ConfigControl::kLeafCountSlider));
  SendMessageW(dialog, WM_HSCROLL, SB_BOTTOM,
               reinterpret_cast<LPARAM>(slider));  // to the right end
  SendMessageTimeoutW(GetDlgItem(dialog, ConfigControlId(ConfigControl::kOkButton)), BM_CLICK, 0, 0,
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  Check(saver.EndsWithin(10000), "OK ends the configuration run");
  ExpectSettings(EverySetting({L"10", L"2.5", L"0", L"0", L"0", L"120", L"3", L"old.bmp"}),
                 "after OK");
  // Every text reads back: a run on them reports nothing.
  SaverProcess check(box.saver, L"/X");
  Check(check.EndsWithin(10000) && Protocols(box.log) == 0,
        "the stored texts load without a report");
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: reliability_driver <Sarvel.scr> <scenario>\n");
    return 2;
  }
  const std::wstring scr = WindowsPath(argv[1]);
  const std::wstring scenario = argv[2];
  if (scenario == L"preview-race")
    PreviewRace(scr);
  else if (scenario == L"two-at-once")
    TwoAtOnce(scr);
  else if (scenario == L"log-locked")
    LogLocked(scr);
  else if (scenario == L"unicode-picture")
    UnicodePicture(scr);
  else if (scenario == L"resize")
    Resize(scr);
  else if (scenario == L"store-shared")
    StoreShared(scr);
  else {
    std::fprintf(stderr, "unknown scenario\n");
    return 2;
  }
  return Report();
}
