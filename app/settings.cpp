#include "app/settings.h"

#include "core/report/procedure.h"
#include "core/base/checked.h"
#include "core/base/number_text.h"

namespace sarvel {

std::string SettingsIo::Read(const char* key, const char* default_text) {
  return store_.Read(kStoreApp, kStoreSection, key, default_text);
}

void SettingsIo::Write(const char* key, const std::string& text) {
  store_.Write(kStoreApp, kStoreSection, key, text);
}

void SettingsIo::LoadConfig(SaverSettings& s) {
  Procedure p(reporter_, "Saver", "LoadConfig");
  const std::string sep = regional_.DecimalSeparator();
  p.StepOr(20, [&] { s.MaxLeaf = Int16OfText(Read("maxL", "10"), sep); },
           [&] { s.MaxLeaf = 10; });
  p.StepOr(30, [&] { s.LeafSpeed = SingleOfText(Read("SpeedL", "10"), sep); },
           [&] { s.LeafSpeed = 10.0f; });
  p.Step(40, [&] { s.MinLeaf = ToInt16(double(s.MaxLeaf) * 0.7); });
  p.StepOr(50, [&] { s.ShowDate = Int16OfText(Read("Date", "1"), sep); },
           [&] { s.ShowDate = 1; });
  p.StepOr(60, [&] { s.ShowTime = Int16OfText(Read("Time", "1"), sep); },
           [&] { s.ShowTime = 1; });
  p.StepOr(70, [&] { s.AutoRestart = Int16OfText(Read("Restart", "1"), sep); },
           [&] { s.AutoRestart = 1; });
  p.StepOr(80, [&] { s.RestartSeconds = Int32OfText(Read("rTime", "600"), sep); },
           [&] { s.RestartSeconds = 600; });
  p.StepOr(90, [&] { s.BackgroundKind = Int16OfText(Read("Background", "4"), sep); },
           [&] { s.BackgroundKind = kBackgroundDesktop; });
  p.StepOr(100, [&] { s.PicFile = Read("PicFile", ""); }, [&] { s.PicFile.clear(); });
  p.Step(110, [&] {
    if (s.BackgroundKind == kBackgroundRandom) s.RandomBackground = true;
  });
}

void SettingsIo::SaveConfig(const SaverSettings& s) {
  Procedure p(reporter_, "Saver", "SaveConfig");
  const std::string sep = regional_.DecimalSeparator();
  p.Step(20, [&] { Write("SpeedL", SingleText(s.LeafSpeed, sep)); });
  p.Step(30, [&] { Write("maxL", IntegerText(s.MaxLeaf)); });
  p.Step(40, [&] { Write("Date", IntegerText(s.ShowDate)); });
  p.Step(50, [&] { Write("Time", IntegerText(s.ShowTime)); });
  p.Step(60, [&] { Write("Restart", IntegerText(s.AutoRestart)); });
  p.Step(70, [&] { Write("rTime", IntegerText(s.RestartSeconds)); });
  p.Step(90, [&] { Write("PicFile", s.PicFile); });
}

void SettingsIo::WriteBackground(int16_t kind) { Write("Background", IntegerText(kind)); }

}  // namespace sarvel
