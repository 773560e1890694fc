// The maker's two web addresses: the scene's corner and the about box show
// the first; the settings dialog's "&WWW..." button opens the second.
#pragma once

namespace sarvel {

inline constexpr char kMakerAddress[] = "www.sarvel.example.org";
inline constexpr char kMakerAddressUrl[] = "https://www.sarvel.example.org/";
inline constexpr char kSaverPageUrl[] = "https://www.example.org/sarvel/";

}  // namespace sarvel
