#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "app/settings.h"
#include "core/base/failure.h"
#include "frontends/posix/ini_store.h"
#include "tests/support/failure_of.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : folder_(testing::MakeTempFolder("settings")), app_(folder_) {}
  ~SettingsTest() override { testing::RemoveFolder(folder_); }

  SaverSettings Load() {
    app_.app->saver.LoadConfig();
    return app_.app->saver.settings;
  }
  headless::MemoryStore& store() { return app_.platform.store; }
  // The step lines of the protocols written for a procedure, in order.
  using Lines = std::vector<std::string>;
  Lines ReportedLines(const std::string& procedure) {
    const std::string log = testing::ReadWholeFile(folder_ + "/Sarvel.EPT");
    const std::string head =
        "Prozedur / procedure:\t" + procedure + "\r\n          Zeile / Line:\t";
    Lines lines;
    for (size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1)) {
      const size_t from = at + head.size();
      lines.push_back(log.substr(from, log.find('\r', from) - from));
    }
    return lines;
  }

  std::string folder_;
  testing::TestApp app_;
};

TEST_F(SettingsTest, DerivedAndFlaggedFields) {
  const int expected_min[] = {1, 2, 3, 4, 4, 5, 6, 6, 7};
  for (int max = 2; max <= 10; ++max) {
    store().values["maxL"] = std::to_string(max);
    EXPECT_EQ(Load().min_leaf, expected_min[max - 2]) << max;
  }
  store().values = {{"Background", "6"}};
  const SaverSettings s = Load();
  EXPECT_EQ(s.background_kind, 6);
  EXPECT_TRUE(s.random_background);
  store().values = {{"Background", "2"}};
  EXPECT_TRUE(Load().random_background);  // never set back to false by loading
}

// A key that fails is reported at its own step, and loading goes on.
TEST_F(SettingsTest, AStoredTextThatIsNoNumberIsReportedAtItsStepAndTakesTheDefault) {
  store().values = {{"maxL", "abc"},  {"SpeedL", "1e400"},      {"Date", ""},       {"Time", "x"},
                    {"Restart", "x"}, {"rTime", "99999999999"}, {"Background", "x"}};
  const SaverSettings s = Load();
  EXPECT_EQ(std::tuple(s.max_leaf, s.min_leaf, s.leaf_speed, s.show_date, s.show_time,
                       s.auto_restart, s.restart_seconds, s.background_kind),
            std::tuple(10, 7, 10.0f, 1, 1, 1, 600, 4));
  EXPECT_EQ(ReportedLines("LoadConfig"), (Lines{"20", "30", "50", "60", "70", "80", "90"}));
}

// A write that fails is retried to the bound, then SaveConfig is left.
TEST_F(SettingsTest, AFailingWriteIsReportedAtItsKeysStepAndEndsTheSave) {
  const char* const lines[] = {"20", "30", "40", "50", "60", "70", "90"};
  for (int n = 0; n < 7; ++n) {
    std::filesystem::remove(folder_ + "/Sarvel.EPT");
    store().writes.clear();
    store().fail_writes_after = n;
    app_.app->saver.SaveConfig();
    EXPECT_EQ(store().writes.size(), size_t(n));
    EXPECT_EQ(ReportedLines("SaveConfig"), Lines(3, lines[n])) << n;
  }
}

#ifndef _WIN32
// The Linux settings file.
TEST_F(SettingsTest, IniRoundTripKeepsForeignLinesAndReplacesAtomically) {
  const std::string path = folder_ + "/cfg/sarvel/settings.ini";
  IniFileStore ini(path);
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "maxL", "10"), "10");
  ini.Write("Sarvel", "Settings", "maxL", "6");
  ini.Write("Sarvel", "Settings", "PicFile", "/home/ü/odd\nname\\x.jpg");
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "MAXL", ""), "6");
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "PicFile", ""), "/home/ü/odd\nname\\x.jpg");
  // Another program's lines survive our writes.
  std::ofstream(path, std::ios::app) << "\n[Other]\nmaxL=99\n; a comment\n";
  ini.Write("Sarvel", "Settings", "maxL", "7");
  const std::string text = testing::ReadWholeFile(path);
  EXPECT_NE(text.find("[Other]\nmaxL=99\n; a comment\n"), std::string::npos);
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "maxL", ""), "7");
  EXPECT_EQ(ini.Read("Sarvel", "Other", "maxL", ""), "99");
  for (const auto& e : std::filesystem::directory_iterator(folder_ + "/cfg/sarvel"))
    EXPECT_EQ(e.path().filename(), "settings.ini");  // no temporary file left behind
}

TEST_F(SettingsTest, CorruptIniFilesReadAsMissingKeys) {
  const std::string path = folder_ + "/cfg/sarvel/settings.ini";
  std::filesystem::create_directories(folder_ + "/cfg/sarvel");
  const char corrupt[] = "\0\xff[Settings\n=5\nmaxL\n[Settings]\nrTime = 120 \n";
  std::ofstream(path, std::ios::binary) << std::string(corrupt, sizeof corrupt - 1);
  IniFileStore ini(path);
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "maxL", "10"), "10");
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "rTime", "600"), " 120 ");
  ini.Write("Sarvel", "Settings", "maxL", "4");
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "maxL", "10"), "4");
}

TEST_F(SettingsTest, AnUnwritableIniFolderIsAFailureAndLosesNothing) {
  const std::string path = folder_ + "/cfg/sarvel/settings.ini";
  // A file where the folder should be cannot be written into, even by root.
  std::ofstream(folder_ + "/cfg") << "not a folder";
  IniFileStore ini(path);
  EXPECT_EQ(ini.Read("Sarvel", "Settings", "maxL", "10"), "10");
  EXPECT_EQ(testing::FailureOf([&] { ini.Write("Sarvel", "Settings", "maxL", "8"); }), 75);
  EXPECT_EQ(testing::ReadWholeFile(folder_ + "/cfg"), "not a folder");
}
#endif

}  // namespace
}  // namespace sarvel
