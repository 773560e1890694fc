// What the system around the saver can do to it: an error log that cannot be
// written where it belongs, preview handles that name no window, a store that
// fails or that two processes write at once, and a
// window whose size changes under a running scene.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>

#include "app/dialogs/config_form.h"
#include "core/base/failure.h"
#include "core/report/procedure.h"
#include "core/report/protocol.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/dialog_app.h"
#include "tests/support/failure_of.h"

#ifndef _WIN32
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "frontends/posix/ini_store.h"
#endif

namespace sarvel {
namespace {

namespace fs = std::filesystem;
using reliability::Folder;
using C = ConfigControl;
using Values = std::map<std::string, std::string>;

// ---------------------------------------------------------------- error log

// Full-screen runs whose picture is missing (one report each, and the run
// ends), with a folder named as the log beside the program, which no user,
// root included, can append to. The reports go to the user's folder, one
// below the other; with no folder of the user's own, or one that is a file,
// the failure that stopped the log beside the program passes on.
TEST(ErrorLog, ThatCannotBeWrittenBesideTheProgramGoesToTheUsersFolderOrPassesOn) {
  Folder folder("log-blocked");
  Folder mine("log-fallback");
  fs::create_directories(folder / "Sarvel.EPT");
  reliability::WriteFile(folder / "plain-file", "");
  headless::SceneRunOptions o = reliability::SmallRun();
  o.Set<&SaverSettings::background_kind>("5");
  o.Set<&SaverSettings::picture_file>(folder / "missing.jpg");
  for (const std::string& fallback :
       {mine.path(), mine.path(), std::string(), folder / "plain-file"}) {
    SCOPED_TRACE(fallback);
    reliability::LoggedRun r(o, folder);
    r.run.platform().exe.fallback_folder = fallback;
    const bool kept = fallback == mine.path();
    EXPECT_EQ(testing::FailureOf([&] { EXPECT_FALSE(r.run.Start()); }),
              kept ? 0 : int32_t(Err::kPathFileAccess));
    EXPECT_EQ(r.run.platform().process.beeps, kept ? 1 : 0);
    if (kept) {
      EXPECT_EQ(r.run.platform().system.cursor_count, 0);  // the run ended as it should
    }
  }
  EXPECT_EQ(testing::CountOccurrences(testing::ReadWholeFile(mine / "Sarvel.EPT"), "F E H L E R"),
            2);
}

#ifndef _WIN32
// The user who writes the log. File permissions do not hold root back, so
// when the tests run as root the writing is done by a child process that has
// become nobody, and the files it meets are given to nobody as a user's own
// files would be.
class AUser {
 public:
  AUser() {
    if (const passwd* pw = ::getpwnam("nobody")) {
      uid_ = pw->pw_uid;
      gid_ = pw->pw_gid;
    }
  }
  bool is_root() const { return root_; }
  void Own(const std::string& path) const {
    if (root_) {
      ASSERT_EQ(::lchown(path.c_str(), uid_, gid_), 0) << path;
    }
  }
  bool Runs(const std::function<bool()>& fn) const {
    if (!root_) return fn();
    const pid_t child = ::fork();
    if (child == 0) {
      if (::setgid(gid_) != 0 || ::setuid(uid_) != 0 || ::geteuid() == 0) ::_exit(2);
      ::_exit(fn() ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2)
        << "the child could not become nobody";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  bool root_ = ::geteuid() == 0;
  uid_t uid_ = 65534;
  gid_t gid_ = 65534;
};

// A folder of the user's, with a log place beside the program that `block`
// makes unusable; a report by the headless platform's clock and system must
// land whole in the user's folder and leave what blocks it as it was.
void ExpectTheReportInTheUsersFolder(const AUser& user,
                                     const std::function<void(const std::string&)>& block) {
  Folder beside("log-beside");
  Folder mine("log-fallback");
  user.Own(beside.path());
  user.Own(mine.path());
  const std::string log = beside / "Sarvel.EPT";
  block(log);
  const auto before = fs::symlink_status(log).type();
  const std::string old =
      fs::is_regular_file(fs::symlink_status(log)) ? testing::ReadWholeFile(log) : "";
  headless::Platform p;
  p.exe.folder = beside.path();
  p.exe.fallback_folder = mine.path();
  const ErrorRecord record{{"53 (File not found)", "frmMain", "Hintergrund", "40"}, "Sarvel"};
  EXPECT_TRUE(user.Runs([&] {
    return testing::FailureOf([&] { WriteProtocol(record, p.clock, p.system, p.exe, p.files); }) ==
           0;
  }));
  EXPECT_EQ(testing::ReadWholeFile(mine / "Sarvel.EPT"),
            GetProtocol(record, p.clock, p.system) + "\r\n");
  EXPECT_EQ(fs::symlink_status(log).type(), before);
  if (before == fs::file_type::regular) {
    EXPECT_EQ(testing::ReadWholeFile(log), old);
  }
}

constexpr char kEarlierReport[] = "an earlier report\r\n";

TEST(ErrorLog, EveryCauseThatStopsTheLogBesideTheProgramSendsItToTheUsersFolder) {
  const AUser user;
  {
    SCOPED_TRACE("a folder of its name");
    ExpectTheReportInTheUsersFolder(user, [&](const std::string& log) {
      fs::create_directories(log);
      user.Own(log);
    });
  }
  {
    SCOPED_TRACE("a read-only file");
    ExpectTheReportInTheUsersFolder(user, [&](const std::string& log) {
      reliability::WriteFile(log, kEarlierReport);
      user.Own(log);
      fs::permissions(log, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    });
  }
  {
    SCOPED_TRACE("a full disk");
    ExpectTheReportInTheUsersFolder(
        user, [](const std::string& log) { fs::create_symlink("/dev/full", log); });
  }
  {
    SCOPED_TRACE("a folder the user cannot write to");
    ExpectTheReportInTheUsersFolder(user, [](const std::string& log) {
      fs::permissions(fs::path(log).parent_path(),
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    });
  }
  if (user.is_root()) {  // only root can give the log another owner
    SCOPED_TRACE("a file of another owner");
    ExpectTheReportInTheUsersFolder(user, [](const std::string& log) {
      reliability::WriteFile(log, kEarlierReport);  // root's, mode 644: nobody may only read it
      fs::permissions(log, fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    });
  }
}
#endif

// ---------------------------------------------------------------- preview

TEST(PreviewHandle, ThatNamesNoWindowOpensAnEmptyPreviewAndOneBeyond32BitsNothing) {
  Folder folder("preview-handles");
  struct Row {
    const char* line;
    bool opened;
    int protocols;
  } rows[] = {{"/p 0", true, 0},           {"/p 99999", true, 0},
              {"/p -5", true, 0},          {"/p", true, 0},
              {"/p 4294967296", false, 3}, {"/p -2147483649", false, 3},
              {"/p 2147483647", true, 0},  {"/p 1e400", false, 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    std::remove((folder / "Sarvel.EPT").c_str());
    testing::TestApp t(folder.path());
    EXPECT_FALSE(t.RunMain(row.line));
    EXPECT_EQ(t.app->forms.count(), row.opened ? 1u : 0u);  // none: the process ends
    EXPECT_EQ(folder.Protocols(), row.protocols);
    EXPECT_FALSE(t.app->saver.full_screen_run);
    EXPECT_EQ(t.platform.system.cursor_count, 0);
  }
}

// ---------------------------------------------------------------- store

// Stored with a blank after each number, which OK writes without it.
const Values kStored = {{"maxL", "3 "},      {"SpeedL", "2.5 "},    {"Date", "0 "},
                        {"Time", "0 "},      {"Restart", "0 "},     {"rTime", "120 "},
                        {"Background", "2"}, {"PicFile", "old.bmp"}};
const char* const kSaveOrder[] = {"SpeedL", "maxL", "Date", "Time", "Restart", "rTime", "PicFile"};

TEST(Store, ThatFailsWhileOkIsPressedKeepsEarlierKeysNewAndTheRestOld) {
  Folder folder("store-fails");
  for (int failing = 0; failing < 7; ++failing) {
    SCOPED_TRACE(kSaveOrder[failing]);
    std::remove((folder / "Sarvel.EPT").c_str());
    testing::DialogApp d(folder.path());
    d.platform.store.values = kStored;
    ConfigForm& f = d.Open();
    d.platform.store.fail_writes_after = int(d.platform.store.writes.size()) + failing;
    f.UserClicks(C::kOkButton);
    for (int k = 0; k < 7; ++k) {
      const std::string& old = kStored.at(kSaveOrder[k]);
      EXPECT_EQ(d.platform.store.values[kSaveOrder[k]],
                k < failing ? old.substr(0, old.find(' ')) : old)
          << kSaveOrder[k];
    }
    EXPECT_EQ(d.Protocols(), kMaxReportsPerStep);  // the failing write, bounded
    EXPECT_NE(d.Log().find("procedure:\tSaveConfig\r\n"), std::string::npos);
    EXPECT_FALSE(d.ConfigLoaded());  // the window still closes
  }
}

#ifndef _WIN32
// The Linux settings file is rewritten whole on every write: two processes
// writing different keys at the same moment must not undo each other.
TEST(Store, TwoProcessesWritingTheSettingsFileAtOnceLoseNothing) {
  Folder folder("ini-race");
  const std::string path = folder / "settings.ini";
  constexpr int kWrites = 300;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  IniFileStore store(path);
  const char* key = child == 0 ? "maxL" : "SpeedL";
  for (int i = 1; i <= kWrites; ++i) store.Write("Sarvel", "Settings", key, std::to_string(i));
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "?"), std::to_string(kWrites));
  EXPECT_EQ(store.Read("Sarvel", "Settings", "SpeedL", "?"), std::to_string(kWrites));
}
#endif

// ---------------------------------------------------------------- display

// The window system resizes the scene between frames: to tiny sizes, to
// nothing at all, to long thin strips and back, with restarts in between.
TEST(Display, SizeChangesDuringARunNeverFailIt) {
  Folder folder("resizes");
  for (const char* restart : {"0", "1"}) {
    SCOPED_TRACE(std::string("restart ") + restart);
    headless::SceneRunOptions o = reliability::SmallRun(11);
    o.Set<&SaverSettings::auto_restart>(restart);
    o.Set<&SaverSettings::restart_seconds>("1");
    o.Set<&SaverSettings::max_leaf>("10");
    o.Set<&SaverSettings::background_kind>("6");
    reliability::LoggedRun r(o, folder);
    ASSERT_TRUE(r.run.Start());
    const std::pair<int, int> sizes[] = {{0, 0},   {1, 1},  {2, 300},  {300, 2},  {0, 120},
                                         {160, 0}, {33, 7}, {1000, 3}, {3, 1000}, {160, 120}};
    std::mt19937 random(5);
    for (int step = 0; step < 60; ++step) {
      const auto [w, h] =
          step < 10 ? sizes[step] : std::pair<int, int>{int(random() % 400), int(random() % 300)};
      ASSERT_TRUE(r.run.ResizeWindow(w, h)) << w << " x " << h;
      ASSERT_TRUE(r.run.RunFrames(int(random() % 40))) << "after " << w << " x " << h;
    }
    EXPECT_EQ(folder.Protocols(), 0);
  }
}

}  // namespace
}  // namespace sarvel
