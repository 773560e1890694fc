// The background group of the settings dialog: option buttons, Random, the picture
// path and the picture chooser, and the handlers' failure reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/report/procedure.h"
#include "tests/support/dialog_app.h"

namespace sarvel {
namespace {

using C = ConfigControl;
using Strings = std::vector<std::string>;

class BackgroundGroupTest : public ::testing::Test {
 protected:
  BackgroundGroupTest()
      : folder_(testing::MakeTempFolder("background")),
        picture_(folder_ + "/leaves.bmp"),
        other_picture_(folder_ + "/other.jpg"),
        missing_(folder_ + "/missing.bmp"),
        t_(folder_) {
    std::ofstream(picture_) << "BM";
    std::ofstream(other_picture_) << "not a picture at all";
  }
  ~BackgroundGroupTest() override { testing::RemoveFolder(folder_); }

  headless::MemoryStore& store() { return t_.platform.store; }
  const ConfigControlState& at(C c) { return t_.config().control(c); }
  // Scripts the chooser's answers before the dialog loads.
  void AnswerChooser(Strings answers) {
    t_.factory.on_config = [answers](headless::ConfigViewHeadless& v) {
      v.file_answers.assign(answers.begin(), answers.end());
    };
  }
  void ExpectOptionsEnabled(bool enabled) {
    for (C option : kBackgroundOptions) EXPECT_EQ(at(option).enabled, enabled);
  }
  // The path box and the chooser's button, and the path shown.
  void ExpectPicture(bool enabled, const std::string& path) {
    EXPECT_EQ(at(C::kPicturePathBox).enabled, enabled);
    EXPECT_EQ(at(C::kChoosePictureButton).enabled, enabled);
    EXPECT_EQ(at(C::kPicturePathBox).text, path);
  }

  std::string folder_, picture_, other_picture_, missing_;
  testing::DialogApp t_;
};

TEST_F(BackgroundGroupTest, KindSixLoadsWithBlackShownAndOnlyAnOptionWritesAFixedKind) {
  store().values = {{"Background", "6"}, {"PicFile", picture_}};
  ConfigForm& f = t_.Open();
  EXPECT_TRUE(at(C::kRandomBox).checked);
  EXPECT_EQ(f.SelectedOption(), 0);
  ExpectOptionsEnabled(false);
  ExpectPicture(false, picture_);
  EXPECT_TRUE(store().writes.empty());

  f.UserSelectsOption(C::kBrownOption);  // disabled: nothing happens
  EXPECT_EQ(f.SelectedOption(), 0);

  f.UserSetsCheck(C::kRandomBox, false);
  ExpectOptionsEnabled(true);
  EXPECT_FALSE(t_.app->saver.settings.random_background);
  EXPECT_EQ(store().writes, (Strings{"Background=6"}));
  f.UserSelectsOption(C::kBrownOption);
  EXPECT_EQ(store().writes, (Strings{"Background=6", "Background=3"}));

  f.UserSetsCheck(C::kRandomBox, true);
  ExpectOptionsEnabled(false);
  EXPECT_TRUE(t_.app->saver.settings.random_background);
  EXPECT_EQ(store().writes.back(), "Background=6");
}

TEST_F(BackgroundGroupTest, KindFiveWithAMissingPictureAsksBeforeTheWindowShows) {
  store().values = {{"Background", "5"}, {"PicFile", missing_}};
  AnswerChooser({picture_});
  ConfigForm& f = t_.Open();
  EXPECT_EQ(t_.view().log, (Strings{"create", "file dialog (hidden)", "show modeless"}));
  ASSERT_EQ(t_.view().file_dialogs.size(), 1u);  // the option's handler found the file
  const FileDialogRequest& asked = t_.view().file_dialogs[0];
  EXPECT_EQ(asked.filter, "All Picture Files|*.bmp;*.jpg;*.gif");
  EXPECT_TRUE(asked.hide_read_only);
  EXPECT_EQ(asked.file_name, "");
  EXPECT_EQ(f.SelectedOption(), 4);
  ExpectPicture(true, picture_);
  EXPECT_EQ(store().writes, (Strings{"Background=5", "Background=5"}));
  EXPECT_EQ(store().values["PicFile"], missing_);  // only OK stores the path

  f.UserClicks(C::kOkButton);
  EXPECT_EQ(store().values["PicFile"], picture_);
}

TEST_F(BackgroundGroupTest, CancelAtTheFirstOpeningLeavesThePathAndLoadingGoesOn) {
  store().values = {{"Background", "5"}, {"PicFile", missing_}};
  ConfigForm& f = t_.Open();  // no answers: the user cancels every chooser
  // Load step 7, then the custom option's own check: two choosers, no loop.
  EXPECT_EQ(t_.view().log,
            (Strings{"create", "file dialog (hidden)", "file dialog (hidden)", "show modeless"}));
  EXPECT_TRUE(t_.view().messages.empty());
  EXPECT_EQ(t_.app->saver.settings.picture_file, missing_);
  EXPECT_EQ(at(C::kPicturePathBox).text, missing_);
  EXPECT_EQ(f.SelectedOption(), 4);
  EXPECT_EQ(store().writes, (Strings{"Background=5", "Background=5"}));
}

TEST_F(BackgroundGroupTest, CustomWithAnExistingPictureAsksNothingAndDesktopKeepsThePath) {
  store().values = {{"Background", "2"}, {"PicFile", picture_}};
  ConfigForm& f = t_.Open();
  f.UserSelectsOption(C::kPictureOption);
  EXPECT_TRUE(t_.view().file_dialogs.empty());
  ExpectPicture(true, picture_);
  EXPECT_EQ(store().writes.back(), "Background=5");

  f.UserSelectsOption(C::kDesktopOption);
  ExpectPicture(false, picture_);
  EXPECT_EQ(store().writes.back(), "Background=4");
  f.UserClicks(C::kOkButton);
  EXPECT_EQ(store().values["PicFile"], picture_);
  EXPECT_EQ(store().values["Background"], "4");
}

TEST_F(BackgroundGroupTest, ChooserInsistsOnAnExistingPlainFile) {
  store().values = {{"Background", "2"}};
  // A missing file, then a folder, then any existing file whatever it holds.
  AnswerChooser({missing_, folder_, other_picture_});
  ConfigForm& f = t_.Open();
  f.UserSelectsOption(C::kPictureOption);
  ASSERT_EQ(t_.view().file_dialogs.size(), 3u);
  EXPECT_EQ(t_.view().file_dialogs[1].file_name, missing_);  // the dialog keeps its name
  EXPECT_EQ(t_.view().file_dialogs[2].file_name, folder_);
  ASSERT_EQ(t_.view().messages.size(), 2u);
  for (const auto& m : t_.view().messages) {
    EXPECT_EQ(m.title, "No valid File / keine gültige Bilddatei");
    EXPECT_EQ(m.text,
              "You have to select a valid picture file to display as background\r\n"
              "Sie müssen eine gültige Bilddatei für den Hintergrund auswählen!");
  }
  EXPECT_EQ(t_.app->saver.settings.picture_file, other_picture_);
  EXPECT_EQ(at(C::kPicturePathBox).text, other_picture_);
  EXPECT_EQ(t_.app->saver.settings.background_kind, 5);
}

TEST_F(BackgroundGroupTest, ChooserRemembersItsNameTillTheWindowGoesAndCancelKeepsThePicture) {
  store().values = {{"Background", "5"}, {"PicFile", picture_}};
  ConfigForm& f = t_.Open();
  t_.view().file_answers = {other_picture_};
  f.UserClicks(C::kChoosePictureButton);
  EXPECT_EQ(at(C::kPicturePathBox).text, other_picture_);

  f.UserClicks(C::kChoosePictureButton);  // cancelled: the dialog reports the name it held
  EXPECT_EQ(t_.view().file_dialogs.back().file_name, other_picture_);
  EXPECT_EQ(t_.app->saver.settings.picture_file, other_picture_);

  // A refused name followed by Cancel gets the user out with the old picture.
  t_.view().file_answers = {missing_};
  f.UserClicks(C::kChoosePictureButton);
  EXPECT_EQ(t_.view().messages.size(), 1u);
  EXPECT_EQ(t_.view().file_dialogs.size(), 4u);
  EXPECT_EQ(t_.app->saver.settings.picture_file, other_picture_);
  EXPECT_EQ(at(C::kPicturePathBox).text, other_picture_);
  EXPECT_EQ(f.dialog_file_name(), missing_);

  // The name is forgotten with the window; the choice stays in memory only.
  f.UserCloses();
  EXPECT_EQ(store().values["PicFile"], picture_);
  ConfigForm& again = static_cast<ConfigForm&>(t_.app->config_form());
  t_.app->forms.Load(again);
  again.UserClicks(C::kChoosePictureButton);
  EXPECT_EQ(static_cast<headless::ConfigViewHeadless&>(again.view()).file_dialogs.back().file_name,
            "");
}

TEST_F(BackgroundGroupTest, HandlerFailuresAreReportedWithTheirOwnNamesAndLines) {
  store().values = {{"Background", "2"}};
  ConfigForm& f = t_.Open();
  store().fail_writes_after = int(store().writes.size());
  f.UserSelectsOption(C::kBlackOption);
  f.UserSetsCheck(C::kRandomBox, true);
  EXPECT_EQ(t_.Protocols(), 2 * kMaxReportsPerStep);
  const std::string log = t_.Log();
  const size_t option =
      log.find("Prozedur / procedure:\toptBack_Click\r\n          Zeile / Line:\t40");
  const size_t random =
      log.find("Prozedur / procedure:\tchkRandom_Click\r\n          Zeile / Line:\t30");
  EXPECT_NE(option, std::string::npos);
  EXPECT_NE(random, std::string::npos);
  EXPECT_LT(option, random);
  EXPECT_NE(log.find("Modul:\tfrmConfig"), std::string::npos);
  // The record was changed before the failing write.
  EXPECT_EQ(t_.app->saver.settings.background_kind, 6);
  EXPECT_EQ(store().values["Background"], "2");
}

}  // namespace
}  // namespace sarvel
