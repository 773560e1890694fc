// Win32: text conversions between the core's UTF-8 and the system's UTF-16
// and ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace sarvel::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// UTF-8 to the system's ANSI code page (unmappable characters become '?').
std::string ToAnsi(std::string_view utf8);

}  // namespace sarvel::win32
