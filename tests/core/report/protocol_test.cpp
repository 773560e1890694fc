#include <gtest/gtest.h>

#include <filesystem>

#include "core/report/protocol.h"
#include "tests/support/headless_platform.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

ErrorRecord SampleRecord() {
  ErrorRecord r;
  r.rows = {"53 (File not found)", "frmMain", "Hintergrund", "50"};
  r.prog_info = "Sarvel  V2.0.457";
  return r;
}

TEST(Protocol, EighteenLinesByteForByte) {
  const LocalTime t{2026, 3, 7, 9, 5, 2, 0};
  const SystemDescription os{"Windows NT", 5, 1, 2600, "Service Pack 3"};
  const std::string sep(70, '-');
  const std::string expected =
      sep +
      "\r\n"
      "F E H L E R P R O T O K O L L  /  E R R O R   P R O T O C O L L\r\n" +
      sep +
      "\r\n"
      "PROGRAMM-INFO:\r\n"
      "          Sarvel  V2.0.457\r\n" +
      sep +
      "\r\n"
      "FEHLERBESCHREIBUNG / ERROR DESCRIPTION:\r\n"
      "          Fehler-Nr / error :\t53 (File not found)\r\n"
      "          Modul:\tfrmMain\r\n"
      "          Prozedur / procedure:\tHintergrund\r\n"
      "          Zeile / Line:\t50\r\n"
      "          Datum/Uhrzeit (Date/Time):\t03-07-2026 / 09:05:02\r\n" +
      sep +
      "\r\n"
      "SYSTEMINFO:\r\n"
      "          Plattform/Environment:\tWindows NT\r\n"
      "          Version:\t5.1\r\n"
      "          Build:\t2600   Service Pack 3\r\n" +
      sep + "\r\n";
  EXPECT_EQ(BuildProtocol(SampleRecord(), t, os), expected);
}

TEST(Protocol, AnUnknownPlatformAndNoDetailsEndTheirLinesEarly) {
  const std::string text = BuildProtocol(SampleRecord(), LocalTime{}, {"", 10, 0, 19045, ""});
  EXPECT_NE(text.find("Plattform/Environment:\t\r\n"), std::string::npos);
  EXPECT_NE(text.find("Build:\t19045   \r\n"), std::string::npos);
}

TEST(Protocol, LogPathAddsOneSeparatorOnly) {
  headless::FixedExecutable exe;
  exe.folder = "C:\\";
  exe.file_title = "Sarvel";
  EXPECT_EQ(ErrorLogPath(exe, '\\'), "C:\\Sarvel.EPT");
  exe.folder = "/opt/sarvel";
  EXPECT_EQ(ErrorLogPath(exe, '/'), "/opt/sarvel/Sarvel.EPT");
}

TEST(Protocol, ReportsAppendWithAnEmptyLineBetween) {
  const std::string folder = testing::MakeTempFolder("log");
  headless::Platform p;
  p.exe.folder = folder;
  WriteProtocol(SampleRecord(), p.clock, p.system, p.exe, p.files);
  const std::string path = ErrorLogPath(p.exe, p.files.PathSeparator());
  const std::string once = testing::ReadWholeFile(path);
  EXPECT_EQ(testing::CountOccurrences(once, "\r\n"), 19);
  EXPECT_EQ(once.substr(once.size() - 4), "\r\n\r\n");
  WriteProtocol(SampleRecord(), p.clock, p.system, p.exe, p.files);
  EXPECT_EQ(testing::ReadWholeFile(path), once + once);
  testing::RemoveFolder(folder);
}

}  // namespace
}  // namespace sarvel
