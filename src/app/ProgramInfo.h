#pragma once

#include <string_view>

namespace pamiro {

inline constexpr std::string_view kProgramName = "Pamiro";
inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 2;
inline constexpr std::string_view kVersionText = "3.0.2";
// Major, minor and revision joined: marks the settings format.
inline constexpr std::string_view kProgramRevision = "302";
inline constexpr std::string_view kDescription = "Conversor de formatos I/A Series";

}  // namespace pamiro
