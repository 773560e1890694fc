// Bad stored settings, key by key: each of the seven numeric keys missing,
// empty, not a number, fractional, negative, beyond 16 and beyond 32 bits.
// Loading takes what fits its field and reports the rest once, with the
// default in its place; a full-screen run on those settings runs on; the
// dialog opens on them and its OK leaves texts that load without a report.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "core/base/failure.h"
#include "app/dialogs/frm_config.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/dialog_app.h"

namespace sarvel {
namespace {

enum class Kind { kInt16, kInt32, kSingle };

struct Key {
  const char* name;
  Kind kind;
  int line;
  double default_value;
};

const Key kKeys[] = {{"maxL", Kind::kInt16, 20, 10},     {"SpeedL", Kind::kSingle, 30, 10},
                     {"Date", Kind::kInt16, 50, 1},      {"Time", Kind::kInt16, 60, 1},
                     {"Restart", Kind::kInt16, 70, 1},   {"rTime", Kind::kInt32, 80, 600},
                     {"Background", Kind::kInt16, 90, 4}};

// What a stored text gives a field of each kind: the value (or the field's
// default), and the failure reported, if any.
constexpr double kDefault = -1e300;
struct Outcome {
  double value = 0;
  int error = 0;  // 0, 13 type mismatch, 6 overflow
};
struct Input {
  const char* label;
  std::optional<std::string> text;  // none: the key is missing
  const char* separator;
  Outcome int16, int32, single;
};

const Input kInputs[] = {
    {"missing", std::nullopt, ".", {kDefault, 0}, {kDefault, 0}, {kDefault, 0}},
    {"empty", "", ".", {kDefault, 13}, {kDefault, 13}, {kDefault, 13}},
    {"not a number", "abc", ".", {kDefault, 13}, {kDefault, 13}, {kDefault, 13}},
    {"fractional", "2.5", ".", {2, 0}, {2, 0}, {2.5, 0}},
    {"fractional, comma", "3,5", ",", {4, 0}, {4, 0}, {3.5, 0}},
    {"other separator", "2,5", ".", {kDefault, 13}, {kDefault, 13}, {kDefault, 13}},
    {"spaces around", "  7 ", ".", {7, 0}, {7, 0}, {7, 0}},
    {"negative", "-3", ".", {-3, 0}, {-3, 0}, {-3, 0}},
    {"beyond 16 bits", "40000", ".", {kDefault, 6}, {40000, 0}, {40000, 0}},
    {"beyond 32 bits", "5000000000", ".", {kDefault, 6}, {kDefault, 6}, {5e9, 0}},
    {"beyond any number", "1e400", ".", {kDefault, 6}, {kDefault, 6}, {kDefault, 6}},
};

const Outcome& OutcomeFor(const Input& in, Kind kind) {
  return kind == Kind::kInt16 ? in.int16 : kind == Kind::kInt32 ? in.int32 : in.single;
}

double FieldOf(const SaverSettings& s, const std::string& key) {
  if (key == "maxL") return s.MaxLeaf;
  if (key == "SpeedL") return s.LeafSpeed;
  if (key == "Date") return s.ShowDate;
  if (key == "Time") return s.ShowTime;
  if (key == "Restart") return s.AutoRestart;
  if (key == "rTime") return s.RestartSeconds;
  return s.BackgroundKind;
}

// The dialog's kind of settings everywhere else.
std::map<std::string, std::string> Normal() {
  return {{"maxL", "4"},    {"SpeedL", "10"}, {"Date", "1"},       {"Time", "1"},
          {"Restart", "1"}, {"rTime", "1"},   {"Background", "2"}, {"PicFile", ""}};
}

std::map<std::string, std::string> With(const Key& key, const Input& in) {
  auto values = Normal();
  if (in.text)
    values[key.name] = *in.text;
  else
    values.erase(key.name);
  return values;
}

TEST(BadStoredSettings, EachKeyTakesWhatFitsReportsTheRestOnceAndNothingIsLost) {
  reliability::Folder folder("bad-settings");
  for (const Key& key : kKeys) {
    for (const Input& in : kInputs) {
      SCOPED_TRACE(std::string(key.name) + ": " + in.label);
      const Outcome& expected = OutcomeFor(in, key.kind);
      std::remove((folder / "Sarvel.EPT").c_str());

      // Loading.
      testing::TestApp t(folder.path());
      t.platform.regional.decimal_separator = in.separator;
      t.platform.store.values = With(key, in);
      t.app->saver.LoadConfig();
      const double value = FieldOf(t.app->saver.settings, key.name);
      EXPECT_EQ(value, expected.value == kDefault ? key.default_value : expected.value);
      EXPECT_EQ(folder.Protocols(), expected.error ? 1 : 0);
      if (expected.error) {
        const std::string log = folder.Log();
        EXPECT_NE(log.find("error :\t" + std::to_string(expected.error) + " ("), std::string::npos);
        EXPECT_NE(log.find("Zeile / Line:\t" + std::to_string(key.line) + "\r\n"),
                  std::string::npos);
      }
      EXPECT_TRUE(t.platform.store.writes.empty());

      // A full-screen run on these settings, through a restart (on values
      // the dialog could not have stored; a default runs as every day).
      if (value != key.default_value) {
        std::remove((folder / "Sarvel.EPT").c_str());
        headless::SceneRunOptions o = reliability::SmallRun();
        reliability::LoggedRun r(o, folder);
        r.run.platform().regional.decimal_separator = in.separator;
        r.run.platform().store.values = With(key, in);
        ASSERT_TRUE(r.run.Start());
        EXPECT_TRUE(r.run.RunFrames(70)) << "the run ended";
        EXPECT_EQ(folder.Protocols(), 0);
      }

      // The dialog opens on them; after its OK every key loads cleanly.
      std::remove((folder / "Sarvel.EPT").c_str());
      testing::DialogApp d(folder.path());
      d.platform.regional.decimal_separator = in.separator;
      d.platform.store.values = With(key, in);
      d.Open().UserClicks(ConfigControl::kCmdOK);
      EXPECT_FALSE(d.ConfigLoaded());
      const int load_reports = folder.Protocols();
      EXPECT_EQ(load_reports, expected.error ? 1 : 0);
      testing::TestApp again(folder.path());
      again.platform.regional.decimal_separator = in.separator;
      again.platform.store.values = d.platform.store.values;
      again.app->saver.LoadConfig();
      EXPECT_EQ(folder.Protocols(), load_reports) << "the dialog left a text that does not load";
    }
  }
}

// The eighth key: any text is a path, taken as it stands.
TEST(BadStoredSettings, PictureFileTakesAnyTextWithoutAReport) {
  reliability::Folder folder("bad-picfile");
  for (const std::string& text :
       {std::string(""), std::string("   "), std::string(5000, 'x'), std::string("a\0b", 3),
        std::string("C:\\B\xc3\xa4ume\\Herbst.jpg")}) {
    testing::TestApp t(folder.path());
    t.platform.store.values["PicFile"] = text;
    t.app->saver.LoadConfig();
    EXPECT_EQ(t.app->saver.settings.PicFile, text);
  }
  EXPECT_EQ(folder.Protocols(), 0);
}

}  // namespace
}  // namespace sarvel
