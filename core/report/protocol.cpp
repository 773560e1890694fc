#include "core/report/protocol.h"

#include <cctype>
#include <cstdio>

#include "core/base/failure.h"

namespace sarvel {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kIndent = "          ";  // 10 blanks

std::string Separator() { return std::string(70, '-'); }

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string DateText(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.month, t.day, t.year);
  return buf;
}

std::string TimeText(const LocalTime& t) {
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

}  // namespace

std::string BuildProtocol(const ErrorRecord& record, const LocalTime& now,
                          const SystemDescription& os) {
  const std::string sep = Separator();
  const std::string lines[18] = {
      sep,
      "F E H L E R P R O T O K O L L  /  E R R O R   P R O T O C O L L",
      sep,
      UpperCase("Programm-Info:"),
      std::string(kIndent) + record.prog_info,
      sep,
      UpperCase("Fehlerbeschreibung / error description:"),
      std::string(kIndent) + "Fehler-Nr / error :\t" + record.rows[0],
      std::string(kIndent) + "Modul:\t" + record.rows[1],
      std::string(kIndent) + "Prozedur / procedure:\t" + record.rows[2],
      std::string(kIndent) + "Zeile / Line:\t" + record.rows[3],
      std::string(kIndent) + "Datum/Uhrzeit (Date/Time):\t" + DateText(now) + " / " + TimeText(now),
      sep,
      "SYSTEMINFO:",
      std::string(kIndent) + "Plattform/Environment:\t" + os.platform,
      std::string(kIndent) + "Version:\t" + std::to_string(os.major) + "." +
          std::to_string(os.minor),
      std::string(kIndent) + "Build:\t" + std::to_string(os.build) + "   " + os.details,
      sep,
  };
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += kCrLf;
  }
  return text;
}

std::string GetProtocol(const ErrorRecord& record, Clock& clock, SaverSystem& system) {
  return BuildProtocol(record, clock.Now(), system.DescribeSystem());
}

std::string ErrorLogPath(ExecutableInfo& exe, char separator) {
  std::string path = exe.Folder();
  if (path.empty() || path.back() != separator) path += separator;
  return path + exe.FileTitle() + ".EPT";
}

void WriteProtocol(const ErrorRecord& record, Clock& clock, SaverSystem& system,
                   ExecutableInfo& exe, FileSystem& files) {
  const char separator = files.PathSeparator();
  const std::string path = ErrorLogPath(exe, separator);
  const std::string text = GetProtocol(record, clock, system) + std::string(kCrLf);
  try {
    files.AppendText(path, text);
    return;
  } catch (const RuntimeFailure& failure) {
    std::string fallback = exe.FallbackLogFolder();
    if (fallback.empty()) throw;
    if (fallback.back() != separator) fallback += separator;
    fallback += exe.FileTitle() + ".EPT";
    if (fallback == path) throw;
    try {
      files.AppendText(fallback, text);
    } catch (const RuntimeFailure&) {
      throw failure;
    }
  }
}

}  // namespace sarvel
