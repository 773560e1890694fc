// The settings dialog opened as configuration mode opens it: load, OK, Default, the
// option boxes and spinner, the close box and failures of the store.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/maker.h"
#include "core/report/procedure.h"
#include "tests/support/dialog_app.h"

namespace sarvel {
namespace {

using C = ConfigControl;
using Strings = std::vector<std::string>;

class ConfigDialogTest : public ::testing::Test {
 protected:
  ConfigDialogTest() : folder_(testing::MakeTempFolder("config")), t_(folder_) {}
  ~ConfigDialogTest() override { testing::RemoveFolder(folder_); }

  headless::MemoryStore& store() { return t_.platform.store; }
  const ConfigControlState& at(C c) { return t_.config().control(c); }
  // The options' controls: sliders, the three boxes, minutes, spinner and Random.
  std::vector<int> Shown() {
    return {at(C::kLeafCountSlider).position, at(C::kSpeedSlider).position,
            at(C::kShowDateBox).checked,      at(C::kShowTimeBox).checked,
            at(C::kRestartBox).checked,       std::stoi(at(C::kMinutesLabel).text),
            at(C::kMinutesSpinner).position,  at(C::kRandomBox).checked};
  }
  // Every control of the window shows what the model holds.
  void ExpectViewMirrorsModel() {
    for (const ConfigControlDesign& design : kConfigControls) {
      const auto& shown = t_.view().control(design.id);
      const ConfigControlState& held = t_.config().control(design.id);
      EXPECT_EQ(shown.enabled, held.enabled) << design.name;
      EXPECT_EQ(shown.checked, held.checked) << design.name;
      EXPECT_EQ(shown.position, held.position) << design.name;
      EXPECT_EQ(shown.text, held.text) << design.name;
      EXPECT_EQ(shown.fore_color, held.fore_color) << design.name;
    }
  }

  std::string folder_;
  testing::DialogApp t_;
};

TEST_F(ConfigDialogTest, LoadShowsTheStoredSettingsAndOkStoresThemBack) {
  store().values = {{"maxL", "5"},    {"SpeedL", "2.5"}, {"Date", "0"},      {"Time", "1"},
                    {"Restart", "1"}, {"rTime", "630"},  {"Background", "6"}};
  ConfigForm& f = t_.Open();
  EXPECT_EQ(t_.view().log, (Strings{"create", "show modeless"}));
  EXPECT_EQ(Shown(), (std::vector{38, 25, 0, 1, 1, 10, 90, 1}));
  ExpectViewMirrorsModel();

  f.UserClicks(C::kOkButton);
  EXPECT_EQ(store().writes, (Strings{"SpeedL=2.5", "maxL=5", "Date=0", "Time=1", "Restart=1",
                                     "rTime=600", "PicFile="}));
  EXPECT_FALSE(t_.ConfigLoaded());
  EXPECT_EQ(t_.view().log.back(), "destroy");
}

TEST_F(ConfigDialogTest, ClearingRestartGreysTheMinutesAndOnlyRestartCounts) {
  ConfigForm& f = t_.Open();
  EXPECT_TRUE(at(C::kMinutesSpinner).enabled);
  EXPECT_EQ(at(C::kMinutesLabel).fore_color, kMinutesBlack);

  f.UserSetsCheck(C::kRestartBox, false);
  EXPECT_FALSE(at(C::kMinutesSpinner).enabled);
  EXPECT_EQ(at(C::kMinutesLabel).fore_color, kMinutesGrey);
  for (C box : {C::kShowDateBox, C::kShowTimeBox}) {
    f.UserSetsCheck(box, false);
    f.UserSetsCheck(box, true);
    EXPECT_FALSE(at(C::kMinutesSpinner).enabled);
    EXPECT_EQ(at(C::kMinutesLabel).fore_color, kMinutesGrey);
  }
  // A disabled spinner takes no clicks.
  f.UserScrolls(C::kMinutesSpinner, 50);
  EXPECT_EQ(at(C::kMinutesLabel).text, "10");
  ExpectViewMirrorsModel();

  f.UserSetsCheck(C::kRestartBox, true);
  EXPECT_TRUE(at(C::kMinutesSpinner).enabled);
  EXPECT_EQ(at(C::kMinutesLabel).fore_color, kMinutesBlack);

  // Stored off, the box's handler greys them as the dialog loads.
  testing::DialogApp off(folder_);
  off.platform.store.values = {{"Date", "0"}, {"Time", "0"}, {"Restart", "0"}};
  off.Open();
  EXPECT_FALSE(off.config().control(C::kMinutesSpinner).enabled);
  EXPECT_EQ(off.config().control(C::kMinutesLabel).fore_color, kMinutesGrey);
}

TEST_F(ConfigDialogTest, SpinnerCountsUpwardsBetweenOneAndNinetyNineMinutes) {
  ConfigForm& f = t_.Open();              // 600 seconds: position 90
  f.UserScrolls(C::kMinutesSpinner, 89);  // the up arrow
  EXPECT_EQ(at(C::kMinutesLabel).text, "11");
  f.UserScrolls(C::kMinutesSpinner, 1);
  EXPECT_EQ(at(C::kMinutesLabel).text, "99");
  f.UserScrolls(C::kMinutesSpinner, 0);
  EXPECT_EQ(at(C::kMinutesSpinner).position, 1);
  f.UserScrolls(C::kMinutesSpinner, 99);
  EXPECT_EQ(at(C::kMinutesLabel).text, "1");
  f.UserScrolls(C::kMinutesSpinner, 120);
  EXPECT_EQ(at(C::kMinutesSpinner).position, 99);
  f.UserClicks(C::kOkButton);
  EXPECT_EQ(store().values["rTime"], "60");
}

TEST_F(ConfigDialogTest, DefaultSetsTheControlsAndWritesSixAtOnceOnlyWhenRandomWasClear) {
  store().values = {
      {"maxL", "3"}, {"SpeedL", "1"}, {"Restart", "0"}, {"rTime", "120"}, {"Background", "2"}};
  ConfigForm& f = t_.Open();
  store().writes.clear();
  f.UserClicks(C::kDefaultsButton);
  EXPECT_EQ(store().writes, (Strings{"Background=6"}));
  EXPECT_EQ(Shown(), (std::vector{50, 50, 1, 1, 1, 10, 90, 1}));
  EXPECT_TRUE(at(C::kMinutesSpinner).enabled);
  for (C option : kBackgroundOptions) EXPECT_FALSE(at(option).enabled);
  ExpectViewMirrorsModel();

  f.UserCloses();  // the kind written stays, nothing else is
  EXPECT_EQ(store().writes, (Strings{"Background=6"}));
  EXPECT_EQ(store().values["maxL"], "3");

  testing::DialogApp random(folder_);
  random.platform.store.values = {{"Background", "6"}};
  random.Open().UserClicks(C::kDefaultsButton);
  EXPECT_TRUE(random.platform.store.writes.empty());
}

TEST_F(ConfigDialogTest, CloseBoxWritesNothingButTheBackgroundKind) {
  store().values = {{"maxL", "4"}, {"SpeedL", "7"}, {"Background", "3"}};
  ConfigForm& f = t_.Open();
  f.UserScrolls(C::kLeafCountSlider, 100);
  f.UserScrolls(C::kSpeedSlider, 1);
  f.UserSetsCheck(C::kShowDateBox, false);
  f.UserSelectsOption(C::kBlueOption);
  f.UserCloses();
  EXPECT_FALSE(t_.ConfigLoaded());
  EXPECT_EQ(store().writes, (Strings{"Background=3", "Background=3", "Background=2"}));
  EXPECT_EQ(store().values["maxL"], "4");
  EXPECT_EQ(store().values["SpeedL"], "7");
}

TEST_F(ConfigDialogTest, GarbageInTheStoreIsClampedAndNeverReported) {
  store().values = {{"maxL", "99"},   {"SpeedL", "0"}, {"Date", "7"},      {"Time", "-1"},
                    {"Restart", "2"}, {"rTime", "30"}, {"Background", "9"}};
  ConfigForm& f = t_.Open();
  EXPECT_EQ(Shown(), (std::vector{100, 1, 1, 1, 1, 1, 99, 1}));
  f.UserClicks(C::kOkButton);
  EXPECT_EQ(t_.Protocols(), 0);
  EXPECT_EQ(store().writes, (Strings{"SpeedL=0.1", "maxL=10", "Date=1", "Time=1", "Restart=1",
                                     "rTime=60", "PicFile="}));

  // A kind below 1 shows as black, written once through the Random box's
  // handler; Black is selected by design, so selecting it runs no handler.
  testing::DialogApp t(folder_);
  t.platform.store.values["Background"] = "0";
  EXPECT_EQ(t.Open().SelectedOption(), 0);
  EXPECT_FALSE(t.config().control(C::kRandomBox).checked);
  EXPECT_EQ(t.platform.store.writes, (Strings{"Background=1"}));
  EXPECT_EQ(t.Protocols(), 0);
}

TEST_F(ConfigDialogTest, WwwOpensTheSaverPageAndInfoTheAboutBoxModally) {
  ConfigForm& f = t_.Open();
  f.UserClicks(C::kHomepageButton);
  EXPECT_EQ(t_.view().browser_calls, (Strings{kSaverPageUrl}));

  bool config_loaded_meanwhile = false;
  t_.factory.on_info = [&](headless::InfoViewHeadless& info) {
    info.on_modal_show = [&](headless::InfoViewHeadless& shown) {
      config_loaded_meanwhile = t_.ConfigLoaded();
      shown.user().UserClicksOK();
    };
  };
  f.UserClicks(C::kInfoButton);
  EXPECT_TRUE(config_loaded_meanwhile);
  EXPECT_EQ(t_.app->Find(FormId::kInfo), nullptr);  // unloaded by its OK
  EXPECT_TRUE(t_.ConfigLoaded());
}

}  // namespace
}  // namespace sarvel
