// The Windows services on the real API (run under Wine): the registry store,
// the directory search with file attributes, the version query and the log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/base/failure.h"
#include "core/report/protocol.h"
#include "frontends/win32/win32_files.h"
#include "frontends/win32/win32_services.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

TEST(Win32Registry, RoundTripUnicodeAndMissingKeys) {
  win32::RegistryStore store;
  const std::string app = "SarvelTest";
  win32::RegistryStore::DeleteApp(app);
  EXPECT_EQ(store.Read(app, "Settings", "maxL", "10"), "10");
  store.Write(app, "Settings", "maxL", "6");
  store.Write(app, "Settings", "PicFile",
              "C:\\Bilder\\Gr\xc3\xbc\xc3\x9f"
              "e.jpg");
  EXPECT_EQ(store.Read(app, "Settings", "maxL", "10"), "6");
  EXPECT_EQ(store.Read(app, "Settings", "PicFile", ""),
            "C:\\Bilder\\Gr\xc3\xbc\xc3\x9f"
            "e.jpg");
  store.Write(app, "Settings", "Empty", "");
  EXPECT_EQ(store.Read(app, "Settings", "Empty", "default"), "");
  EXPECT_EQ(store.Read(app, "Other", "maxL", "x"), "x");
  win32::RegistryStore::DeleteApp(app);
  EXPECT_EQ(store.Read(app, "Settings", "maxL", "gone"), "gone");
}

// That the settings live exactly under HKCU\Software\Sarvel\Settings is checked
// from outside by the end-to-end tests, which write them with Wine's reg tool.

TEST(Win32Files, HiddenAndSystemFilesAndFoldersAreNoPlainFiles) {
  const std::string folder = testing::MakeTempFolder("attr");
  Win32FileSystem files;
  for (const char* name : {"plain.jpg", "hidden.jpg", "system.jpg", "readonly.jpg"})
    std::ofstream(folder + "\\" + name) << "x";
  ASSERT_TRUE(SetFileHiddenSystem(folder + "\\hidden.jpg", true, false));
  ASSERT_TRUE(SetFileHiddenSystem(folder + "\\system.jpg", false, true));
  std::filesystem::permissions(folder + "\\readonly.jpg", std::filesystem::perms::owner_read);
  EXPECT_TRUE(files.FindPlainFile(folder + "\\plain.jpg"));
  EXPECT_FALSE(files.FindPlainFile(folder + "\\hidden.jpg"));
  EXPECT_FALSE(files.FindPlainFile(folder + "\\system.jpg"));
  EXPECT_TRUE(files.FindPlainFile(folder + "\\readonly.jpg"));
  EXPECT_FALSE(files.FindPlainFile(folder));
  EXPECT_TRUE(files.FindPlainFile(folder + "\\*.jpg"));
  EXPECT_FALSE(files.FindPlainFile(folder + "\\h*.jpg"));  // only the hidden one matches
  EXPECT_FALSE(files.FindPlainFile("Q:\\nowhere\\x.jpg"));
  testing::RemoveFolder(folder);
}

TEST(Win32Files, TheLogIsWrittenInTheAnsiCodePageBesideTheExecutable) {
  win32::ThisExecutable exe;
  EXPECT_EQ(exe.FileTitle(), "core_tests");
  EXPECT_FALSE(exe.Folder().empty());
  const std::string path = ErrorLogPath(exe, '\\');
  EXPECT_EQ(path, exe.Folder() + "\\core_tests.EPT");
  const std::string folder = testing::MakeTempFolder("ansi");
  Win32FileSystem files;
  files.AppendText(folder + "\\x.EPT",
                   "Gr\xc3\xbc\xc3\x9f"
                   "e\r\n");
  EXPECT_EQ(testing::ReadWholeFile(folder + "\\x.EPT"),
            "Gr\xfc\xdf"
            "e\r\n");  // Windows-1252
  try {
    files.AppendText(folder + "\\missing\\x.EPT", "text");
    ADD_FAILURE();
  } catch (const RuntimeFailure& f) {
    EXPECT_EQ(f.number(), 76);
  }
  testing::RemoveFolder(folder);
}

TEST(Win32System, TheProtocolDescribesTheSystemAsTheVersionQuerySaysIt) {
  win32::System system;
  const SystemDescription here = system.DescribeSystem();
  EXPECT_EQ(here.platform, "Windows NT");
  EXPECT_GE(here.major, 5u);
  EXPECT_FALSE(system.SaverHasOwnPassword());  // the NT family's locker owns it

  // A 9x build value carries the version in its high half; the text of the
  // service pack ends at its first zero.
  const char csd[128] = " A \0rest";
  const SystemDescription old =
      win32::DescriptionOf(1, 4, 10, (4u << 24) | (10u << 16) | 2222u, {csd, sizeof csd});
  EXPECT_EQ(old.platform, "Windows 9x");
  EXPECT_EQ(old.build, 2222u);
  EXPECT_EQ(old.details, " A ");
  EXPECT_EQ(win32::DescriptionOf(0, 0, 0, 0, "").platform, "Win32s");
  EXPECT_EQ(win32::DescriptionOf(7, 0, 0, 0, "").platform, "");
  EXPECT_EQ(win32::LPSTRToString("no zero at all"), "");
  EXPECT_EQ(win32::LPSTRToString(std::string("\0abc", 4)), "");
}

TEST(Win32Process, TheInstanceMutexNameIgnoresCase) {
  EXPECT_EQ(win32::InstanceMutexName(L"C:\\Windows\\Sarvel.scr"),
            win32::InstanceMutexName(L"c:\\windows\\SARVEL.SCR"));
  EXPECT_NE(win32::InstanceMutexName(L"C:\\Windows\\Sarvel.scr"),
            win32::InstanceMutexName(L"D:\\Sarvel.scr"));
}

}  // namespace
}  // namespace sarvel
