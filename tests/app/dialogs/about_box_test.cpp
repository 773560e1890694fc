#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/dialogs/info_form.h"
#include "app/maker.h"
#include "core/base/failure.h"
#include "tests/support/dialog_app.h"

namespace sarvel {
namespace {

using Strings = std::vector<std::string>;

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBoxTest() : folder_(testing::MakeTempFolder("about")), t_(folder_) {}
  ~AboutBoxTest() override { testing::RemoveFolder(folder_); }

  // Opens the about box as "&Info..." does; `user` plays while it is up.
  void OpenFromTheDialog(std::function<void(headless::InfoViewHeadless&)> user) {
    auto setup = t_.factory.on_info;
    t_.factory.on_info = [this, user, setup](headless::InfoViewHeadless& v) {
      if (setup) setup(v);
      v.screen = screen_;
      v.on_modal_show = [this, user](headless::InfoViewHeadless& shown) {
        if (user) user(shown);
        seen_ = shown;
      };
    };
    t_.Open().UserClicks(ConfigControl::kInfoButton);
  }

  std::string folder_;
  testing::DialogApp t_;
  TwipSize screen_{1024 * 15, 768 * 15};
  headless::InfoViewHeadless seen_;
};

TEST_F(AboutBoxTest, LoadCentresAndShowsTitleAndVersionThenOkUnloads) {
  t_.platform.exe.version = {10, 12, 3};
  OpenFromTheDialog([](headless::InfoViewHeadless& v) { v.user().UserClicksOK(); });
  EXPECT_EQ(seen_.log, (Strings{"create", "show modal", "destroy"}));
  EXPECT_EQ(seen_.moves, 1);
  EXPECT_EQ(seen_.left, (1024 * 15 - 5340) / 2);
  EXPECT_EQ(seen_.top, (768 * 15 - 4935) / 2);
  EXPECT_EQ(seen_.text(InfoControl::kTitle), "Sarvel");
  EXPECT_EQ(seen_.text(InfoControl::kVersion), "10.12.0003");
  EXPECT_EQ(seen_.text(InfoControl::kFreeware), "Freeware");
  EXPECT_EQ(seen_.text(InfoControl::kHomepage), kMakerAddress);
  EXPECT_EQ(t_.app->Find(FormId::kInfo), nullptr);
}

// Centring truncates toward zero, so a small screen puts the box partly off it.
TEST_F(AboutBoxTest, ASmallScreenAndTheAddressThatOpensTheMakersPage) {
  screen_ = {3000, 2000};
  OpenFromTheDialog([](headless::InfoViewHeadless& v) { v.user().UserClicksHomepage(); });
  EXPECT_EQ(seen_.left, -1170);
  EXPECT_EQ(seen_.top, -1467);  // -2935 / 2
  EXPECT_EQ(seen_.browser_calls, (Strings{kMakerAddressUrl}));
  EXPECT_EQ(t_.Protocols(), 0);
  ASSERT_NE(t_.app->Find(FormId::kInfo), nullptr);  // still up until OK
}

TEST_F(AboutBoxTest, FailuresReportAsFrmInfoWithLineZeroAndTheStepRunsAgain) {
  t_.factory.on_info = [](headless::InfoViewHeadless& v) { v.failing_moves = 1; };
  OpenFromTheDialog(nullptr);
  EXPECT_EQ(t_.Protocols(), 1);
  const std::string log = t_.Log();
  EXPECT_NE(log.find("Modul:\tfrmInfo\r\n          Prozedur / procedure:\tForm_Load\r\n"
                     "          Zeile / Line:\t0\r\n"),
            std::string::npos);
  EXPECT_EQ(seen_.moves, 1);
  EXPECT_EQ(seen_.text(InfoControl::kVersion), "2.00.0457");
}

}  // namespace
}  // namespace sarvel
