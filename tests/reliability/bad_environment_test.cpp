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

// A full-screen run whose picture is missing: one report, and the run ends.
struct FailingRun {
  explicit FailingRun(const Folder& folder) : r(Options(folder), folder) {}
  static headless::SceneRunOptions Options(const Folder& folder) {
    headless::SceneRunOptions o = reliability::SmallRun();
    o.Set<&SaverSettings::background_kind>("5");
    o.Set<&SaverSettings::picture_file>(folder / "missing.jpg");
    return o;
  }
  reliability::LoggedRun r;
};

int ProtocolsIn(const std::string& path) {
  return testing::CountOccurrences(testing::ReadWholeFile(path), "F E H L E R");
}

TEST(ErrorLog, ThatCannotBeWrittenBesideTheProgramGoesToTheUsersFolder) {
  Folder folder("log-blocked");
  Folder mine("log-fallback");
  // Whatever stands in the log's way (here a folder of its name, which no
  // user, root included, can append to): the report is kept elsewhere.
  fs::create_directories(folder / "Sarvel.EPT");
  FailingRun f(folder);
  f.r.run.platform().exe.fallback_folder = mine.path();
  EXPECT_FALSE(f.r.run.Start());
  EXPECT_EQ(ProtocolsIn(mine / "Sarvel.EPT"), 1);
  EXPECT_EQ(f.r.run.platform().process.beeps, 1);
  EXPECT_EQ(f.r.run.platform().system.cursor_count, 0);  // and the run ended as it should

  // A second report in a later run is appended below the first.
  FailingRun again(folder);
  again.r.run.platform().exe.fallback_folder = mine.path();
  EXPECT_FALSE(again.r.run.Start());
  EXPECT_EQ(ProtocolsIn(mine / "Sarvel.EPT"), 2);
}

TEST(ErrorLog, WithNowhereToGoTheFailurePassesOnAsDesigned) {
  Folder folder("log-nowhere");
  fs::create_directories(folder / "Sarvel.EPT");
  // No folder of the user's own, and one that is a file.
  for (const std::string& fallback : {std::string(), folder / "plain-file"}) {
    if (!fallback.empty()) reliability::WriteFile(fallback, "");
    testing::TestApp t(folder.path());
    t.platform.exe.fallback_folder = fallback;
    t.platform.store.values["maxL"] = "abc";
    try {
      t.RunMain("/C");
      ADD_FAILURE() << "the report was taken somewhere";
    } catch (const RuntimeFailure& failure) {
      EXPECT_EQ(failure.number(),
                int32_t(Err::kPathFileAccess));  // what stopped the log beside the program
    }
    EXPECT_EQ(t.platform.process.beeps, 0);
  }
}

// One report by the headless platform's clock and system, for an executable
// in `beside` whose own folder for the log is `mine`.
struct OneReport {
  OneReport(const Folder& beside, const Folder& mine) {
    p.exe.folder = beside.path();
    p.exe.fallback_folder = mine.path();
  }
  std::string Text() { return GetProtocol(kRecord, p.clock, p.system) + "\r\n"; }
  std::string Beside() { return ErrorLogPath(p.exe, p.files.PathSeparator()); }
  std::string Mine() { return p.exe.fallback_folder + p.files.PathSeparator() + "Sarvel.EPT"; }
  // 0 when the report was kept somewhere, else the number of the failure
  // that passed on.
  int32_t Write(FileSystem& files) {
    try {
      WriteProtocol(kRecord, p.clock, p.system, p.exe, files);
      return 0;
    } catch (const RuntimeFailure& failure) {
      return failure.number();
    }
  }
  const ErrorRecord kRecord{{"53 (File not found)", "frmMain", "Hintergrund", "40"},
                            "Sarvel  V2.0.457"};
  headless::Platform p;
};

// The platform's file system, except that appending to one path writes only
// the first half of the text and then fails as a disk that filled up would.
class FillsUpMidway : public FileSystem {
 public:
  FillsUpMidway(FileSystem& real, std::string full) : real_(real), full_(std::move(full)) {}
  bool FindPlainFile(const std::string& pattern) override { return real_.FindPlainFile(pattern); }
  void AppendText(const std::string& path, const std::string& text) override {
    ++appends;
    if (path != full_) return real_.AppendText(path, text);
    real_.AppendText(path, text.substr(0, text.size() / 2));
    Raise(Err::kDiskFull);
  }
  std::vector<uint8_t> ReadFile(const std::string& path) override { return real_.ReadFile(path); }
  void CloseAllFiles() override {}
  char PathSeparator() const override { return real_.PathSeparator(); }
  int appends = 0;

 private:
  FileSystem& real_;
  std::string full_;
};

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
// makes unusable; a report must land whole in the user's folder and leave
// what blocks it as it was.
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
  OneReport report(beside, mine);
  EXPECT_TRUE(user.Runs([&] { return report.Write(report.p.files) == 0; }));
  EXPECT_EQ(testing::ReadWholeFile(mine / "Sarvel.EPT"), report.Text());
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
}

TEST(ErrorLog, AFileOfAnotherOwnerBesideTheProgramSendsItToTheUsersFolder) {
  const AUser user;
  if (!user.is_root()) GTEST_SKIP() << "only root can give the log another owner";
  ExpectTheReportInTheUsersFolder(user, [](const std::string& log) {
    reliability::WriteFile(log, kEarlierReport);  // root's, mode 644: nobody may only read it
    fs::permissions(log, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
  });
}
#endif

TEST(ErrorLog, AProtocolCutShortBesideTheProgramIsKeptWholeInTheUsersFolder) {
  Folder beside("log-cut-short");
  Folder mine("log-fallback");
  OneReport report(beside, mine);
  FillsUpMidway files(report.p.files, report.Beside());
  ASSERT_EQ(report.Write(files), 0);
  const std::string whole = report.Text();
  EXPECT_EQ(testing::ReadWholeFile(report.Beside()), whole.substr(0, whole.size() / 2));
  EXPECT_EQ(testing::ReadWholeFile(report.Mine()), whole);

  // The log's place taken beside the program and the user's folder filling
  // up: two tries, then the first failure passes on.
  Folder taken("log-taken");
  report.p.exe.folder = taken.path();
  fs::create_directories(report.Beside());
  FillsUpMidway mine_fills_up(report.p.files, report.Mine());
  EXPECT_EQ(report.Write(mine_fills_up), int32_t(Err::kPathFileAccess));
  EXPECT_EQ(mine_fills_up.appends, 2);
}

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

Values Stored() {
  return {{"maxL", "3"},    {"SpeedL", "2.5"}, {"Date", "0"},       {"Time", "0"},
          {"Restart", "0"}, {"rTime", "120"},  {"Background", "2"}, {"PicFile", "old.bmp"}};
}

// The dialog after Default: every key gets a new text at OK.
const Values kAfterDefault = {{"SpeedL", "5"},       {"maxL", "6"},    {"Date", "1"},
                              {"Time", "1"},         {"Restart", "1"}, {"rTime", "600"},
                              {"PicFile", "old.bmp"}};
const char* const kSaveOrder[] = {"SpeedL", "maxL", "Date", "Time", "Restart", "rTime", "PicFile"};

TEST(Store, ThatFailsWhileOkIsPressedKeepsEarlierKeysNewAndTheRestOld) {
  Folder folder("store-fails");
  for (int failing = 0; failing < 7; ++failing) {
    SCOPED_TRACE(kSaveOrder[failing]);
    std::remove((folder / "Sarvel.EPT").c_str());
    testing::DialogApp d(folder.path());
    d.platform.store.values = Stored();
    ConfigForm& f = d.Open();
    f.UserClicks(C::kDefaultsButton);
    const Values before = d.platform.store.values;
    d.platform.store.fail_writes_after = int(d.platform.store.writes.size()) + failing;
    f.UserClicks(C::kOkButton);
    for (int k = 0; k < 7; ++k) {
      const std::string key = kSaveOrder[k];
      EXPECT_EQ(d.platform.store.values[key], k < failing ? kAfterDefault.at(key) : before.at(key))
          << key;
    }
    EXPECT_EQ(d.platform.store.values["Background"], before.at("Background"));
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
