#pragma once

namespace tidemark::cli::bars {

// An urgent label in every format: white on a red that stays clear on light and dark bars.
inline constexpr const char* kUrgentForeground = "#ffffff";
inline constexpr const char* kUrgentBackground = "#bd2c40";

} // namespace tidemark::cli::bars
