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
#include <vector>

#include "app/dialogs/config_form.h"
#include "app/options.h"
#include "core/base/failure.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/dialog_app.h"

namespace sarvel {
namespace {

// The numeric keys, each with its type, LoadConfig's line and its default.
std::vector<const SettingOption*> NumericOptions() {
  std::vector<const SettingOption*> numeric;
  for (const SettingOption& o : kSettingOptions)
    if (o.field.type() != StoredType::kText) numeric.push_back(&o);
  return numeric;
}

double DefaultOf(const SettingOption& o) {
  SaverSettings s;
  SetFromText(o, s, o.default_text, ".");
  return NumberOf(o, s);
}

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

const Outcome& OutcomeFor(const Input& in, StoredType type) {
  return type == StoredType::kInt16 ? in.int16 : type == StoredType::kInt32 ? in.int32 : in.single;
}

// The dialog's kind of settings everywhere else.
std::map<std::string, std::string> Normal() {
  return {{"maxL", "4"},    {"SpeedL", "10"}, {"Date", "1"},       {"Time", "1"},
          {"Restart", "1"}, {"rTime", "1"},   {"Background", "2"}, {"PicFile", ""}};
}

std::map<std::string, std::string> With(const SettingOption& option, const Input& in) {
  auto values = Normal();
  const std::string key(option.key);
  if (in.text)
    values[key] = *in.text;
  else
    values.erase(key);
  return values;
}

TEST(BadStoredSettings, EachKeyTakesWhatFitsReportsTheRestOnceAndNothingIsLost) {
  reliability::Folder folder("bad-settings");
  ASSERT_EQ(NumericOptions().size(), 7u);
  for (const SettingOption* option : NumericOptions()) {
    const SettingOption& key = *option;
    const double default_value = DefaultOf(key);
    for (const Input& in : kInputs) {
      SCOPED_TRACE(std::string(key.key) + ": " + in.label);
      const Outcome& expected = OutcomeFor(in, key.field.type());
      std::remove((folder / "Sarvel.EPT").c_str());

      // Loading.
      testing::TestApp t(folder.path());
      t.platform.regional.decimal_separator = in.separator;
      t.platform.store.values = With(key, in);
      t.app->saver.LoadConfig();
      const double value = NumberOf(key, t.app->saver.settings);
      EXPECT_EQ(value, expected.value == kDefault ? default_value : expected.value);
      EXPECT_EQ(folder.Protocols(), expected.error ? 1 : 0);
      if (expected.error) {
        const std::string log = folder.Log();
        EXPECT_NE(log.find("error :\t" + std::to_string(expected.error) + " ("), std::string::npos);
        EXPECT_NE(log.find("Zeile / Line:\t" + std::to_string(key.load_line) + "\r\n"),
                  std::string::npos);
      }
      EXPECT_TRUE(t.platform.store.writes.empty());

      // A full-screen run on these settings, through a restart (on values
      // the dialog could not have stored; a default runs as every day).
      if (value != default_value) {
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
      d.Open().UserClicks(ConfigControl::kOkButton);
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
    t.platform.store.values[std::string(OptionOf(&SaverSettings::picture_file).key)] = text;
    t.app->saver.LoadConfig();
    EXPECT_EQ(t.app->saver.settings.picture_file, text);
  }
  EXPECT_EQ(folder.Protocols(), 0);
}

}  // namespace
}  // namespace sarvel
