#include "app/run_request.h"

#include <string>

#include "core/base/number_text.h"

namespace sarvel {
namespace {

std::string Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

RunRequest ParseSaverSwitch(std::string_view arguments) {
  const std::string text = Trimmed(arguments);
  RunRequest request;
  if (text.empty()) return request;
  const char letter = text.size() >= 2 && text[0] == '/' ? Upper(text[1]) : '\0';
  switch (letter) {
    case 'S':
      return request;
    case 'P':
      request.mode = RunRequest::Mode::kPreview;
      break;
    case 'C':
      request.mode = RunRequest::Mode::kSettings;
      break;
    case 'A':
      request.mode = RunRequest::Mode::kPasswordChange;
      break;
    default:
      request.mode = RunRequest::Mode::kNone;
      return request;
  }
  if (text.size() > 3) request.window_number = LeadingNumber(std::string_view(text).substr(3));
  return request;
}

}  // namespace sarvel
