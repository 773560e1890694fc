#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/settings.h"
#include "core/base/failure.h"
#include "frontends/posix/ini_store.h"
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
  int Protocols() {
    return testing::CountOccurrences(testing::ReadWholeFile(folder_ + "/Sarvel.EPT"),
                                     "F E H L E R");
  }
  headless::MemoryStore& store() { return app_.platform.store; }

  std::string folder_;
  testing::TestApp app_;
};

TEST_F(SettingsTest, AnEmptyStoreGivesTheDefaultsAndWritesNothing) {
  const SaverSettings s = Load();
  EXPECT_EQ(s.max_leaf, 10);
  EXPECT_EQ(s.min_leaf, 7);
  EXPECT_EQ(s.leaf_speed, 10.0f);
  EXPECT_EQ(s.show_date, 1);
  EXPECT_EQ(s.show_time, 1);
  EXPECT_EQ(s.auto_restart, 1);
  EXPECT_EQ(s.restart_seconds, 600);
  EXPECT_EQ(s.background_kind, 4);
  EXPECT_FALSE(s.random_background);
  EXPECT_EQ(s.picture_file, "");
  EXPECT_TRUE(store().writes.empty());
}

TEST_F(SettingsTest, DerivedAndFlaggedFields) {
  const int expected_min[] = {1, 2, 3, 4, 4, 5, 6, 6, 7};
  for (int max = 2; max <= 10; ++max) {
    store().values["maxL"] = std::to_string(max);
    EXPECT_EQ(Load().min_leaf, expected_min[max - 2]) << max;
  }
  store().values["Background"] = "6";
  const SaverSettings s = Load();
  EXPECT_EQ(s.background_kind, 6);
  EXPECT_TRUE(s.random_background);
  store().values["Background"] = "2";
  EXPECT_TRUE(Load().random_background);  // never set back to false by loading
}

TEST_F(SettingsTest, SaveWritesSevenKeysInOrderAndNeverTheBackground) {
  store().values["Background"] = "3";
  SaverSettings& s = app_.app->saver.settings;
  s = Load();
  s.leaf_speed = 2.5f;
  s.max_leaf = 6;
  s.show_date = 0;
  s.picture_file = "C:\\Bilder\\Herbst.jpg";
  app_.app->saver.SaveConfig();
  EXPECT_EQ(store().writes,
            (std::vector<std::string>{"SpeedL=2.5", "maxL=6", "Date=0", "Time=1", "Restart=1",
                                      "rTime=600", "PicFile=C:\\Bilder\\Herbst.jpg"}));
  EXPECT_EQ(store().values["Background"], "3");
}

TEST_F(SettingsTest, SpeedRoundTripsUnderEitherSeparatorButNotAcrossThem) {
  for (const char* sep : {".", ","}) {
    store().values.clear();
    app_.platform.regional.decimal_separator = sep;
    app_.app->saver.settings = Load();
    app_.app->saver.settings.leaf_speed = 0.3f;
    app_.app->saver.SaveConfig();
    EXPECT_EQ(store().values["SpeedL"], std::string("0") + sep + "3");
    EXPECT_EQ(Load().leaf_speed, 0.3f);
  }
  // Written with a comma, read where the point is the separator: reported
  // once, and the default speed is used.
  app_.platform.regional.decimal_separator = ".";
  EXPECT_EQ(Load().leaf_speed, 10.0f);
  EXPECT_EQ(Protocols(), 1);
}

TEST_F(SettingsTest, AStoredTextThatIsNoNumberIsReportedOnceAndTakesTheDefault) {
  store().values["maxL"] = "abc";
  store().values["rTime"] = "99999999999";
  store().values["Date"] = "";
  store().values["Time"] = "0";
  const SaverSettings s = Load();
  EXPECT_EQ(s.max_leaf, 10);
  EXPECT_EQ(s.min_leaf, 7);
  EXPECT_EQ(s.restart_seconds, 600);
  EXPECT_EQ(s.show_date, 1);
  EXPECT_EQ(s.show_time, 0);  // loading went on after the failures
  EXPECT_EQ(Protocols(), 3);
  const std::string log = testing::ReadWholeFile(folder_ + "/Sarvel.EPT");
  EXPECT_NE(log.find("Zeile / Line:\t20\r\n"), std::string::npos);
  EXPECT_NE(log.find("Zeile / Line:\t50\r\n"), std::string::npos);
  EXPECT_NE(log.find("Zeile / Line:\t80\r\n"), std::string::npos);
}

TEST_F(SettingsTest, AStoreThatFailsMidwayKeepsTheEarlierWrites) {
  app_.app->saver.settings = Load();
  app_.app->saver.settings.max_leaf = 3;
  store().fail_writes_after = 2;  // SpeedL and maxL go through
  app_.app->saver.SaveConfig();
  EXPECT_EQ(store().values["maxL"], "3");
  EXPECT_EQ(store().values.count("Date"), 0u);
  EXPECT_EQ(Protocols(), 3);  // bounded retry, then SaveConfig is left
}

#ifndef _WIN32
class IniStoreTest : public ::testing::Test {
 protected:
  IniStoreTest()
      : folder_(testing::MakeTempFolder("ini")), path_(folder_ + "/cfg/sarvel/settings.ini") {}
  ~IniStoreTest() override { testing::RemoveFolder(folder_); }
  std::string folder_;
  std::string path_;
};

TEST_F(IniStoreTest, RoundTripKeepsForeignLinesAndReplacesAtomically) {
  IniFileStore store(path_);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "10"), "10");
  store.Write("Sarvel", "Settings", "maxL", "6");
  store.Write("Sarvel", "Settings", "PicFile", "/home/ü/odd\nname\\x.jpg");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "MAXL", ""), "6");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "PicFile", ""), "/home/ü/odd\nname\\x.jpg");
  // Another program's lines survive our writes.
  {
    std::ofstream out(path_, std::ios::app);
    out << "\n[Other]\nmaxL=99\n; a comment\n";
  }
  store.Write("Sarvel", "Settings", "maxL", "7");
  const std::string text = testing::ReadWholeFile(path_);
  EXPECT_NE(text.find("[Other]\nmaxL=99\n; a comment\n"), std::string::npos);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", ""), "7");
  EXPECT_EQ(store.Read("Sarvel", "Other", "maxL", ""), "99");
  for (const auto& e : std::filesystem::directory_iterator(folder_ + "/cfg/sarvel"))
    EXPECT_EQ(e.path().filename(), "settings.ini");  // no temporary file left behind
}

TEST_F(IniStoreTest, CorruptFilesReadAsMissingKeys) {
  std::filesystem::create_directories(folder_ + "/cfg/sarvel");
  const char corrupt[] = "\0\xff[Settings\n=5\nmaxL\n[Settings]\nrTime = 120 \n";
  std::ofstream(path_, std::ios::binary) << std::string(corrupt, sizeof corrupt - 1);
  IniFileStore store(path_);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "10"), "10");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "rTime", "600"), " 120 ");
  store.Write("Sarvel", "Settings", "maxL", "4");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "10"), "4");
}

TEST_F(IniStoreTest, AnUnwritableFolderIsAFailureAndLosesNothing) {
  // A file where the folder should be cannot be written into, even by root.
  std::ofstream(folder_ + "/cfg") << "not a folder";
  IniFileStore store(path_);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "10"), "10");
  try {
    store.Write("Sarvel", "Settings", "maxL", "8");
    ADD_FAILURE() << "write succeeded";
  } catch (const RuntimeFailure& f) {
    EXPECT_EQ(f.number(), 75);
  }
  EXPECT_EQ(testing::ReadWholeFile(folder_ + "/cfg"), "not a folder");
}
#endif

}  // namespace
}  // namespace sarvel
