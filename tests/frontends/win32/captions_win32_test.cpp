// Every caption of the Win32 settings dialog and about box fits its control
// in the font the control really has (WM_GETFONT), measured the way the
// control draws it: word-wrapped statics and push buttons through DrawText,
// single lines through GetTextExtentPoint32, check boxes and option buttons
// with room for their box. At the system's resolution and after a change of
// resolution, with the system's message font and with others put in its
// place for this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs/info_form.h"
#include "frontends/win32/config_view_win32.h"
#include "frontends/win32/dialog_ids.h"
#include "frontends/win32/guard.h"
#include "frontends/win32/info_view_win32.h"
#include "frontends/win32/text.h"
#include "tests/support/headless_platform.h"

namespace sarvel {
namespace {

using C = ConfigControl;

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

int MetricForDpi(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const auto for_dpi = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  return for_dpi ? for_dpi(index, UINT(dpi)) : MulDiv(GetSystemMetrics(index), dpi, 96);
}

std::wstring TextOf(HWND w) {
  wchar_t buf[256] = {};
  GetWindowTextW(w, buf, 256);
  return buf;
}

// A device context holding the control's own font.
class ControlDc {
 public:
  explicit ControlDc(HWND control) : control_(control), dc_(GetDC(control)) {
    old_ = SelectObject(dc_, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc_, &tm_);
  }
  ~ControlDc() {
    SelectObject(dc_, old_);
    ReleaseDC(control_, dc_);
  }
  ControlDc(const ControlDc&) = delete;
  ControlDc& operator=(const ControlDc&) = delete;

  int LineWidth(const std::wstring& text) const {
    SIZE s{};
    GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &s);
    return s.cx;
  }
  // The rectangle DrawText needs for `text` broken into lines `width` wide;
  // wider than `width` when a single word is.
  RECT Wrapped(const std::wstring& text, int width, UINT flags) const {
    RECT r{0, 0, width, 0};
    DrawTextW(dc_, text.c_str(), -1, &r, flags | DT_CALCRECT | DT_WORDBREAK);
    return r;
  }
  // The rows the letters of one line cover, from the top of its line.
  std::pair<int, int> InkRows(const std::wstring& text) const {
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    int top = tm_.tmHeight, bottom = 0;
    for (wchar_t ch : text) {
      if (ch == L' ') continue;
      GLYPHMETRICS gm{};
      if (GetGlyphOutlineW(dc_, ch, GGO_METRICS, &gm, 0, nullptr, &identity) == GDI_ERROR)
        return {0, tm_.tmHeight};
      top = std::min(top, int(tm_.tmAscent - gm.gmptGlyphOrigin.y));
      bottom = std::max(bottom, int(tm_.tmAscent - gm.gmptGlyphOrigin.y + int(gm.gmBlackBoxY)));
    }
    return {top, bottom};
  }
  const TEXTMETRICW& metrics() const { return tm_; }
  std::string Face() const {
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc_, LF_FACESIZE, face);
    return win32::Narrow(face) + " " + std::to_string(tm_.tmHeight) + " px";
  }

 private:
  HWND control_;
  HDC dc_;
  HGDIOBJ old_;
  TEXTMETRICW tm_{};
};

// One line of text in a box `have` wide and high, its line `line_top`
// below the box's top edge: "" when every letter shows whole.
std::string LineMisfit(const ControlDc& dc, const std::wstring& text, int need_w, SIZE have,
                       int line_top) {
  const auto [ink_top, ink_bottom] = dc.InkRows(text);
  if (need_w <= have.cx && line_top + ink_top >= 0 && line_top + ink_bottom <= have.cy) return "";
  return "needs " + std::to_string(need_w) + " px, has " + std::to_string(have.cx) +
         "; letters from row " + std::to_string(line_top + ink_top) + " to " +
         std::to_string(line_top + ink_bottom) + " of " + std::to_string(have.cy);
}

// A line centred on the box's height, as buttons draw their caption.
int CentredLineTop(const ControlDc& dc, int height) { return (height - dc.metrics().tmHeight) / 2; }

std::wstring WithoutAccessMark(std::wstring text) {
  text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
  return text;
}

// The caption `text` of a settings control in its control at `dpi`.
std::string ConfigCaptionMisfit(HWND w, const ConfigControlDesign& d, const std::wstring& text,
                                int dpi) {
  const ControlDc dc(w);
  const TEXTMETRICW& tm = dc.metrics();
  RECT rc;
  GetClientRect(w, &rc);
  const SIZE have{rc.right, rc.bottom};
  const int border = Scaled(3, dpi);
  const SIZE inner{have.cx - 2 * border, have.cy - 2 * border};
  switch (d.kind) {
    case ControlKind::kLabel: {
      // A static breaks its text into lines at the words; ours have room
      // for one.
      const RECT r = dc.Wrapped(text, have.cx, DT_NOPREFIX | DT_EXPANDTABS);
      if (r.bottom > tm.tmHeight)
        return "breaks into " + std::to_string(r.bottom / tm.tmHeight) + " lines";
      return LineMisfit(dc, text, r.right, have, 0);
    }
    case ControlKind::kFrame:
      // The caption stands in the top edge, inset from both corners.
      return LineMisfit(dc, text, dc.LineWidth(text) + 2 * Scaled(8, dpi), have, 0);
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton: {
      // One line beside the box, with a gap of half a character.
      const int box =
          MetricForDpi(SM_CXMENUCHECK, dpi) + std::max(Scaled(3, dpi), int(tm.tmAveCharWidth / 2));
      return LineMisfit(dc, text, box + dc.LineWidth(text), have, CentredLineTop(dc, have.cy));
    }
    case ControlKind::kButton: {
      const std::wstring shown = WithoutAccessMark(text);
      if (d.picture) {
        // The picture, a gap and one line, centred as a whole.
        const int picture = MulDiv(32, dpi, 96) + MulDiv(3, dpi, 96);
        const int line_top = (have.cy - (picture + tm.tmHeight)) / 2 + picture - border;
        return LineMisfit(dc, shown, dc.LineWidth(shown), inner, line_top);
      }
      const RECT r = dc.Wrapped(shown, inner.cx, DT_CENTER);
      if (r.bottom <= tm.tmHeight)
        return LineMisfit(dc, shown, r.right, inner, CentredLineTop(dc, inner.cy));
      if (r.right <= inner.cx && r.bottom <= inner.cy) return "";
      return "needs " + std::to_string(r.right) + " x " + std::to_string(r.bottom) +
             " px in lines, has " + std::to_string(inner.cx) + " x " + std::to_string(inner.cy);
    }
    case ControlKind::kTextBox:
      // The path scrolls sideways; its line must show whole.
      return LineMisfit(dc, text, 0, have, 0);
    case ControlKind::kHScrollBar:
    case ControlKind::kVScrollBar:
      return "";
  }
  return "";
}

std::string Described(const std::string& name, const std::wstring& text, const std::string& misfit,
                      HWND w) {
  const ControlDc dc(w);
  return name + " " + misfit + " for \"" + win32::Narrow(text) + "\" (" +
         std::to_string(dc.LineWidth(text)) + " px in " + dc.Face() + ")";
}

// Every text the settings dialog can show, at `dpi`.
std::vector<std::string> ConfigMisfits(HWND dialog, int dpi) {
  std::vector<std::string> misfits;
  for (const ConfigControlDesign& d : kConfigControls) {
    HWND w = GetDlgItem(dialog, win32::ConfigControlId(d.id));
    std::vector<std::wstring> texts = {TextOf(w)};
    if (d.id == C::kMinutesLabel) texts = {L"1", L"10", L"88", L"99"};  // the minutes it can show
    if (d.kind == ControlKind::kTextBox) texts = {L"C:\\Bilder\\Ähre.jpg"};
    for (const std::wstring& text : texts) {
      const std::string misfit = ConfigCaptionMisfit(w, d, text, dpi);
      if (!misfit.empty()) misfits.push_back(Described(std::string(d.name), text, misfit, w));
    }
  }
  return misfits;
}

// Where the letters of a control's caption stand on the screen: for a
// label, its one line as the static draws it; for the others, the control.
RECT LettersOf(HWND w, const ConfigControlDesign& d) {
  RECT r;
  GetWindowRect(w, &r);
  if (d.kind != ControlKind::kLabel) return r;
  const ControlDc dc(w);
  const std::wstring text = TextOf(w);
  const int width = dc.LineWidth(text);
  const auto [top, bottom] = dc.InkRows(text);
  if (d.align == TextAlign::kRight)
    r.left = r.right - width;
  else
    r.right = r.left + width;
  return RECT{r.left, r.top + top, r.right, r.top + bottom};
}

// Controls lying over the letters of another's caption. Frames hold the
// others and are left out.
std::vector<std::string> ConfigOverlaps(HWND dialog) {
  std::vector<std::string> overlaps;
  for (const ConfigControlDesign& a : kConfigControls) {
    if (a.kind == ControlKind::kFrame || a.caption.empty()) continue;
    const RECT letters = LettersOf(GetDlgItem(dialog, win32::ConfigControlId(a.id)), a);
    for (const ConfigControlDesign& b : kConfigControls) {
      if (b.id == a.id || b.kind == ControlKind::kFrame) continue;
      RECT other, both;
      GetWindowRect(GetDlgItem(dialog, win32::ConfigControlId(b.id)), &other);
      if (IntersectRect(&both, &letters, &other))
        overlaps.push_back(std::string(b.name) + " lies over the caption of " +
                           std::string(a.name) + " by " + std::to_string(both.right - both.left) +
                           " x " + std::to_string(both.bottom - both.top) + " px");
    }
  }
  return overlaps;
}

std::vector<std::string> InfoMisfits(HWND about, int dpi) {
  std::vector<std::string> misfits;
  for (const InfoControlDesign& d : kInfoControls) {
    if (d.kind == InfoKind::kPicture) continue;
    HWND w = GetDlgItem(about, win32::InfoControlId(d.id));
    const ControlDc dc(w);
    RECT rc;
    GetClientRect(w, &rc);
    const std::wstring text = WithoutAccessMark(TextOf(w));
    std::string misfit;
    if (d.kind == InfoKind::kButton) {
      const int border = Scaled(3, dpi);
      const SIZE inner{rc.right - 2 * border, rc.bottom - 2 * border};
      misfit = LineMisfit(dc, text, dc.LineWidth(text), inner, CentredLineTop(dc, inner.cy));
    } else {
      // One line from the top edge.
      misfit = LineMisfit(dc, text, dc.LineWidth(text), {rc.right, rc.bottom}, 0);
    }
    if (!misfit.empty()) misfits.push_back(Described(std::string(d.name), text, misfit, w));
  }
  return misfits;
}

void ChangeDpi(HWND window, int dpi) {
  RECT r;
  GetWindowRect(window, &r);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
}

// This process's message font, set for as long as the object lives.
class MessageFace {
 public:
  explicit MessageFace(const wchar_t* face) {
    saved_.cbSize = sizeof saved_;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
    NONCLIENTMETRICSW m = saved_;
    if (face) lstrcpynW(m.lfMessageFont.lfFaceName, face, LF_FACESIZE);
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof m, &m, 0);
  }
  ~MessageFace() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0); }

 private:
  NONCLIENTMETRICSW saved_{};
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += "\n  " + l;
  return all;
}

// The message faces tried: the system's own, the design's, and a wide one.
const wchar_t* const kFaces[] = {nullptr, L"MS Sans Serif", L"Tahoma", L"DejaVu Sans"};
const int kDpis[] = {96, 120, 144, 192};

std::string FaceName(const wchar_t* face) {
  return face ? win32::Narrow(face) : "the system's message font";
}

using MisfitsAt = std::function<std::vector<std::string>(HWND window, int dpi)>;

// A view of each message face, its texts measured at the system's
// resolution and after a change to each of kDpis.
template <class View>
void ExpectEveryTextToFit(const MisfitsAt& misfits) {
  headless::Platform platform;
  for (const wchar_t* face : kFaces) {
    const MessageFace message_face(face);
    View view(platform.resources, platform.process);
    view.Create();
    HWND window = reinterpret_cast<HWND>(view.handle());
    ASSERT_NE(window, nullptr);
    SCOPED_TRACE(FaceName(face));
    EXPECT_EQ(Joined(misfits(window, int(win32::DpiOf(window)))), "")
        << "at the system's resolution";
    for (int dpi : kDpis) {
      ChangeDpi(window, dpi);
      EXPECT_EQ(Joined(misfits(window, dpi)), "") << "at " << dpi << " dpi";
    }
    view.Destroy();
  }
}

TEST(DialogCaptions, EveryTextOfTheSettingsDialogFitsItsControl) {
  ExpectEveryTextToFit<win32::ConfigViewWin32>([](HWND dialog, int dpi) {
    std::vector<std::string> misfits = ConfigMisfits(dialog, dpi);
    for (std::string& overlap : ConfigOverlaps(dialog)) misfits.push_back(std::move(overlap));
    return misfits;
  });
}

TEST(DialogCaptions, EveryTextOfTheAboutBoxFitsItsControl) {
  ExpectEveryTextToFit<win32::InfoViewWin32>([](HWND about, int dpi) {
    std::vector<std::string> misfits;
    SetWindowTextW(GetDlgItem(about, win32::InfoControlId(InfoControl::kTitle)), L"Sarvel");
    for (const Version& version : {Version{2, 0, 457}, Version{10, 12, 3}}) {
      const std::wstring text = win32::Widen(VersionText(version));
      SetWindowTextW(GetDlgItem(about, win32::InfoControlId(InfoControl::kVersion)), text.c_str());
      for (std::string& misfit : InfoMisfits(about, dpi)) misfits.push_back(std::move(misfit));
    }
    return misfits;
  });
}

}  // namespace
}  // namespace sarvel
