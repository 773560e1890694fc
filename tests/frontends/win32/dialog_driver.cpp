// End-to-end check of the settings dialog and the about box, run under Wine
// (or on Windows): starts Sarvel.scr /C with known settings in the registry,
// finds its windows from outside the process, checks the controls, presses
// buttons and closes windows with real messages, and reads the registry
// afterwards, and that the system's screen-saver activation is as it was
// before. Every wait is bounded; a saver left running is killed.
//
//   dialog_driver <path of Sarvel.scr>
#include <windows.h>

#include <dlgs.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs/config_controls.h"
#include "app/dialogs/config_mappings.h"
#include "app/dialogs/info_form.h"
#include "app/maker.h"
#include "frontends/win32/dialog_ids.h"
#include "tests/frontends/win32/driver_support.h"
#include "tests/frontends/win32/screensaver_flag.h"

namespace {

using namespace sarvel;
using namespace sarvel::win32;
using namespace sarvel::e2e;

constexpr DWORD kWaitMs = 10000;

std::wstring TextOf(HWND w) {
  wchar_t buf[512] = {};
  // WM_GETTEXT reaches into the other process; GetWindowText would not.
  SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return buf;
}

std::wstring ClassOf(HWND w) {
  wchar_t buf[64] = {};
  GetClassNameW(w, buf, 64);
  std::wstring s = buf;
  for (wchar_t& c : s) c = wchar_t(std::towlower(c));
  return s;
}

// The system starts the dialog for "Settings": however it is closed, the
// screen saver stays switched on.
void SwitchScreenSaverOn(const char* when) {
  Check(e2e::SwitchScreenSaverOn(), std::string("screen-saver activation is on before ") + when);
}
void ExpectScreenSaverStillOn(const char* when) {
  Check(e2e::ScreenSaverActive() == 1,
        std::string("screen-saver activation is still on after ") + when);
}

// ---------------------------------------------------------------- the saver process

// The saver started for "Settings".
class Saver : public SaverProcess {
 public:
  explicit Saver(const std::wstring& scr) : SaverProcess(scr, L"/C") {
    Check(started, "Sarvel.scr /C starts");
  }

  // A visible top-level window of the saver with this class (and caption).
  HWND Find(const wchar_t* window_class, const wchar_t* caption) const {
    for (DWORD waited = 0; started && waited < kWaitMs; waited += 100) {
      HWND w = nullptr;
      while ((w = FindWindowExW(nullptr, w, window_class, caption)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == pi.dwProcessId && IsWindowVisible(w)) return w;
      }
      if (WaitForSingleObject(pi.hProcess, 100) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }

  bool Exits() const { return EndsWithin(kWaitMs); }
};

bool Gone(HWND w) {
  for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
    if (!IsWindow(w)) return true;
    Sleep(50);
  }
  return false;
}

void Click(HWND button) {
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

int DpiOfWindow(HWND w) {
  using Fn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi) {
    if (const UINT dpi = get_dpi(w)) return int(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi;
}

int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

bool Near(long a, long b, long tolerance = 1) { return a - b <= tolerance && b - a <= tolerance; }

// Where a child stands in its parent's client area.
RECT PlaceOf(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectPlace(HWND child, HWND parent, int left, int top, int width, int height, int dpi,
                 const std::string& name) {
  const RECT r = PlaceOf(child, parent);
  const long l = Px(left, dpi), t = Px(top, dpi);
  Check(Near(r.left, l) && Near(r.top, t) && Near(r.right, l + Px(width, dpi)) &&
            Near(r.bottom, t + Px(height, dpi)),
        name + " stands at its twip place (" + std::to_string(r.left) + "," +
            std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom) +
            ")");
}

// ---------------------------------------------------------------- the settings dialog

HWND FindConfig(const Saver& saver) {
  HWND dialog = saver.Find(kConfigWindowClass, Widen(kConfigCaption).c_str());
  Check(dialog != nullptr, "the settings dialog appears with its caption");
  return dialog;
}

HWND Control(HWND dialog, ConfigControl c) { return GetDlgItem(dialog, ConfigControlId(c)); }

struct Expected {
  ConfigControl control;
  bool enabled;
  int state;         // check: 0/1; scroll bar: position; -1: not looked at
  const char* text;  // nullptr: the design caption
};

void CheckWindowFrame(HWND dialog, int dpi) {
  const LONG style = GetWindowLongW(dialog, GWL_STYLE);
  const LONG ex_style = GetWindowLongW(dialog, GWL_EXSTYLE);
  Check((style & WS_SYSMENU) && (style & WS_CAPTION), "the dialog has a caption and a close box");
  Check(!(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME)),
        "no maximise, minimise or sizing border");
  Check(
      !(ex_style & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW)) && GetWindow(dialog, GW_OWNER) != nullptr,
      "an owned window with a normal caption: no task-bar button");
  RECT client{};
  GetClientRect(dialog, &client);
  Check(Near(client.right, Px(kConfigClientWidth, dpi)) &&
            Near(client.bottom, Px(kConfigClientHeight, dpi)),
        "client area of 7455 x 4650 twips");
  RECT window{};
  GetWindowRect(dialog, &window);
  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  const int mid_x = (window.left + window.right) / 2, mid_y = (window.top + window.bottom) / 2;
  Check(Near(mid_x, screen_w / 2, 40) && Near(mid_y, screen_h / 2, 40),
        "the dialog is centred on the screen");
}

void CheckControls(HWND dialog, int dpi, const std::vector<Expected>& expected) {
  // Tab order: the children follow the table.
  std::vector<int> ids;
  for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    ids.push_back(GetDlgCtrlID(w));
  std::vector<int> wanted;
  for (const ConfigControlDesign& design : kConfigControls)
    wanted.push_back(ConfigControlId(design.id));
  Check(ids == wanted, "the controls come in the tab order of the design");

  for (const ConfigControlDesign& design : kConfigControls) {
    const std::string name(design.name);
    HWND w = Control(dialog, design.id);
    if (!w) {
      Check(false, name + " exists");
      continue;
    }
    const std::wstring cls = ClassOf(w);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    bool kind_ok = false;
    switch (design.kind) {
      case ControlKind::kFrame:
        kind_ok = cls == L"button" && type == BS_GROUPBOX;
        break;
      case ControlKind::kLabel:
        kind_ok = cls == L"static";
        break;
      case ControlKind::kHScrollBar:
        kind_ok = cls == L"scrollbar" && !(style & SBS_VERT);
        break;
      case ControlKind::kVScrollBar:
        kind_ok = cls == L"scrollbar" && (style & SBS_VERT);
        break;
      case ControlKind::kCheckBox:
        kind_ok = cls == L"button" && type == BS_CHECKBOX;
        break;
      case ControlKind::kOptionButton:
        kind_ok = cls == L"button" && type == BS_RADIOBUTTON;
        break;
      case ControlKind::kButton:
        kind_ok =
            cls == L"button" && (design.picture ? type == BS_OWNERDRAW : type == BS_PUSHBUTTON);
        break;
      case ControlKind::kTextBox:
        kind_ok = cls == L"edit" && (style & ES_READONLY);
        break;
    }
    Check(kind_ok, name + " is a control of its kind");
    const TwipRect place = WindowPlace(design.id);
    ExpectPlace(w, dialog, place.left, place.top, place.width, place.height, dpi, name);
  }
  for (const Expected& e : expected) {
    const std::string name(DesignOf(e.control).name);
    HWND w = Control(dialog, e.control);
    Check(bool(IsWindowEnabled(w)) == e.enabled,
          name + (e.enabled ? " is enabled" : " is disabled"));
    const std::wstring text = TextOf(w);
    const std::wstring want = e.text ? Widen(e.text) : Widen(DesignOf(e.control).caption);
    Check(text == want,
          name + " shows \"" + Narrow(text) + "\", expected \"" + Narrow(want) + "\"");
    if (e.state < 0) continue;
    if (IsScrollBar(e.control)) {
      const int pos = int(SendMessageW(w, SBM_GETPOS, 0, 0));
      Check(pos == e.state,
            name + " stands at " + std::to_string(pos) + ", expected " + std::to_string(e.state));
    } else {
      const bool checked = SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
      Check(checked == (e.state == 1), name + (e.state ? " is ticked" : " is clear"));
    }
  }
}

// Load, Default, OK.
void DefaultThenOk(const std::wstring& scr) {
  std::printf("-- load, Default, OK\n");
  WriteSettings(EverySetting({L"3", L"2.5", L"0", L"1", L"0", L"1200", L"2", L""}));
  SwitchScreenSaverOn("OK");
  Saver saver(scr);
  HWND dialog = FindConfig(saver);
  if (!dialog) return;
  const int dpi = DpiOfWindow(dialog);
  CheckWindowFrame(dialog, dpi);
  using C = ConfigControl;
  CheckControls(dialog, dpi,
                {{C::kLeafCountSlider, true, MaxLeafToPosition(3), nullptr},
                 {C::kSpeedSlider, true, 25, nullptr},
                 {C::kShowDateBox, true, 0, nullptr},
                 {C::kShowTimeBox, true, 1, nullptr},
                 {C::kRestartBox, true, 0, nullptr},
                 {C::kMinutesLabel, true, -1, "20"},
                 {C::kMinutesSpinner, false, 80, nullptr},
                 {C::kBlackOption, true, 0, nullptr},
                 {C::kBlueOption, true, 1, nullptr},
                 {C::kBrownOption, true, 0, nullptr},
                 {C::kDesktopOption, true, 0, nullptr},
                 {C::kPictureOption, true, 0, nullptr},
                 {C::kRandomBox, true, 0, nullptr},
                 {C::kPicturePathBox, false, -1, ""},
                 {C::kChoosePictureButton, false, -1, nullptr},
                 {C::kOkButton, true, -1, nullptr},
                 {C::kDefaultsButton, true, -1, nullptr},
                 {C::kBackgroundFrame, true, -1, nullptr}});
  ExpectSettings({{L"Background", L"2"}}, "after loading");

  Click(Control(dialog, C::kDefaultsButton));
  ExpectSettings({{L"Background", L"6"}, {L"maxL", L"3"}}, "right after Default");
  for (C bar : {C::kLeafCountSlider, C::kSpeedSlider})
    Check(SendMessageW(Control(dialog, bar), SBM_GETPOS, 0, 0) == 50,
          "Default puts the sliders at 50");
  Check(TextOf(Control(dialog, C::kMinutesLabel)) == L"10", "Default shows 10 minutes");
  Check(SendMessageW(Control(dialog, C::kMinutesSpinner), SBM_GETPOS, 0, 0) == 90,
        "Default puts the spinner at 90");
  Check(IsWindowEnabled(Control(dialog, C::kMinutesSpinner)), "Default enables the spinner");
  for (C box : {C::kShowDateBox, C::kShowTimeBox, C::kRestartBox, C::kRandomBox})
    Check(SendMessageW(Control(dialog, box), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "Default ticks the boxes");
  for (C option : kBackgroundOptions)
    Check(!IsWindowEnabled(Control(dialog, option)), "Random disables the options");

  Click(Control(dialog, C::kOkButton));
  Check(saver.Exits(), "OK ends the configuration run");
  ExpectScreenSaverStillOn("OK");
  ExpectSettings(EverySetting({L"6", L"5", L"1", L"1", L"1", L"600", L"6", L""}), "after OK");
}

// A slider moved and an option chosen, then the close box.
void CloseBox(const std::wstring& scr) {
  std::printf("-- close box\n");
  const Settings stored = EverySetting({L"4", L"7", L"1", L"0", L"1", L"300", L"6", L""});
  WriteSettings(stored);
  SwitchScreenSaverOn("the close box");
  Saver saver(scr);
  HWND dialog = FindConfig(saver);
  if (!dialog) return;
  using C = ConfigControl;
  HWND slider = Control(dialog, C::kLeafCountSlider);
  SendMessageW(dialog, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(slider));
  Check(SendMessageW(slider, SBM_GETPOS, 0, 0) == MaxLeafToPosition(4) + 20,
        "a track click moves the slider by 20");
  Click(Control(dialog, C::kRandomBox));
  Check(IsWindowEnabled(Control(dialog, C::kDesktopOption)), "clearing Random enables the options");
  Click(Control(dialog, C::kDesktopOption));
  Check(SendMessageW(Control(dialog, C::kDesktopOption), BM_GETCHECK, 0, 0) == BST_CHECKED,
        "Desktop is selected");
  ExpectSettings({{L"Background", L"4"}}, "right after choosing Desktop");
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  Check(saver.Exits(), "the close box ends the configuration run");
  ExpectScreenSaverStillOn("the close box");
  Settings after = stored;
  for (auto& entry : after)
    if (std::wstring(entry.first) == L"Background") entry.second = L"4";
  ExpectSettings(after, "after the close box");
}

// "&Info..." and the about box over the dialog.
void AboutBox(const std::wstring& scr) {
  std::printf("-- about box\n");
  WriteSettings({{L"Background", L"6"}});
  Saver saver(scr);
  HWND dialog = FindConfig(saver);
  if (!dialog) return;
  // Posted: the click's handler waits for the about box to close.
  PostMessageW(Control(dialog, ConfigControl::kInfoButton), BM_CLICK, 0, 0);
  HWND about = saver.Find(kInfoWindowClass, nullptr);
  Check(about != nullptr, "the about box appears");
  if (!about) return;
  const int dpi = DpiOfWindow(about);
  Check(!IsWindowEnabled(dialog), "the settings dialog takes no input while the about box is up");
  const LONG style = GetWindowLongW(about, GWL_STYLE);
  Check((style & WS_CAPTION) != WS_CAPTION && !(style & WS_SYSMENU),
        "the about box has no caption and no control box");
  Check(GetWindow(about, GW_OWNER) != nullptr &&
            !(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW),
        "the about box has no task-bar button");
  RECT client{}, window{};
  GetClientRect(about, &client);
  GetWindowRect(about, &window);
  Check(Near(client.right, Px(kInfoClientWidth, dpi)) &&
            Near(client.bottom, Px(kInfoClientHeight, dpi)),
        "about box client area of 5340 x 4935 twips");
  const int twips_w = MulDiv(GetSystemMetrics(SM_CXSCREEN), 1440, dpi);
  const int twips_h = MulDiv(GetSystemMetrics(SM_CYSCREEN), 1440, dpi);
  const int outer_w = MulDiv(window.right - window.left, 1440, dpi);
  const int outer_h = MulDiv(window.bottom - window.top, 1440, dpi);
  Check(Near(window.left, Px(CentredEdge(twips_w, outer_w), dpi), 2) &&
            Near(window.top, Px(CentredEdge(twips_h, outer_h), dpi), 2),
        "the about box is centred on the screen");

  const std::pair<InfoControl, std::string> labels[] = {
      {InfoControl::kTitle, "Sarvel"},
      {InfoControl::kVersion, "2.00.0457"},
      {InfoControl::kFreeware, "Freeware"},
      {InfoControl::kHomepage, kMakerAddress},
      {InfoControl::kCatalogue, std::string(kCatalogueLine)},
      {InfoControl::kOk, "&OK"}};
  for (const auto& [c, text] : labels) {
    const InfoControlDesign& design = DesignOf(c);
    HWND w = GetDlgItem(about, InfoControlId(c));
    Check(w != nullptr, std::string(design.name) + " exists");
    if (!w) continue;
    Check(TextOf(w) == Widen(text),
          std::string(design.name) + " shows \"" + Narrow(TextOf(w)) + "\"");
    ExpectPlace(w, about, design.left, design.top, design.width, design.height, dpi,
                std::string(design.name));
  }
  Click(GetDlgItem(about, InfoControlId(InfoControl::kOk)));
  Check(Gone(about), "OK closes the about box");
  Check(IsWindowEnabled(dialog), "the settings dialog takes input again");
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  Check(saver.Exits(), "closing the dialog ends the run");
  ExpectSettings({{L"Background", L"6"}, {L"maxL", L"<missing>"}}, "after the about box");
}

// A visible file-open dialog of the saver.
HWND FindFileDialog(const Saver& saver) { return saver.Find(L"#32770", nullptr); }

// Types a name into the file-open dialog and presses its Open button.
void ChooseInFileDialog(HWND chooser, const std::wstring& path) {
  // The file name box: a combo box in the new look, an edit in the old.
  HWND name = GetDlgItem(chooser, cmb13);
  if (!name) name = GetDlgItem(chooser, edt1);
  Check(name != nullptr, "the file-open dialog has a file name box");
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
  Check(Gone(chooser), "Open closes the file-open dialog");
}

// The path box shows the picture and nothing else: typing into it changes
// nothing, and choosing the picture it names shows that name.
void PathBoxShowsThePicture(const std::wstring& scr) {
  std::printf("-- path box\n");
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring picture = std::wstring(temp) + L"Herbst Blätter.bmp";
  HANDLE file = CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "a picture file can be made");
  CloseHandle(file);
  WriteSettings({{L"Background", L"5"}, {L"PicFile", picture.c_str()}});
  Saver saver(scr);
  HWND dialog = FindConfig(saver);
  if (dialog) {
    using C = ConfigControl;
    HWND box = Control(dialog, C::kPicturePathBox);
    Check(TextOf(box) == picture,
          "the path box shows the picture: \"" + Narrow(TextOf(box)) + "\"");
    Check(IsWindowEnabled(box), "the path box is enabled for a custom picture");
    for (wchar_t key : {wchar_t(VK_BACK), wchar_t(VK_BACK), L'x', L'y'})
      SendMessageTimeoutW(box, WM_CHAR, key, 1, SMTO_ABORTIFHUNG, 2000, nullptr);
    Check(TextOf(box) == picture,
          "typing leaves the path box as it was: \"" + Narrow(TextOf(box)) + "\"");

    // Posted: the click's handler waits for the chooser.
    PostMessageW(Control(dialog, C::kChoosePictureButton), BM_CLICK, 0, 0);
    HWND chooser = FindFileDialog(saver);
    Check(chooser != nullptr, "Select opens the file-open dialog");
    if (chooser) ChooseInFileDialog(chooser, picture);
    Check(TextOf(box) == picture,
          "after choosing the same picture the path box shows it: \"" + Narrow(TextOf(box)) + "\"");
    Click(Control(dialog, C::kOkButton));
    Check(saver.Exits(), "OK ends the configuration run");
    ExpectSettings({{L"Background", L"5"}, {L"PicFile", picture.c_str()}}, "after OK");
  }
  DeleteFileW(picture.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dialog_driver <Sarvel.scr>\n");
    return 2;
  }
  const std::wstring scr = WindowsPath(argv[1]);
  DefaultThenOk(scr);
  CloseBox(scr);
  AboutBox(scr);
  PathBoxShowsThePicture(scr);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  return Report();
}
