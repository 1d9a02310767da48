// The title a minimized window shows once bands are calculated:
// "KRD: MV=41, SV=81, OV=121". It reads band texts; it never computes bands.
#pragma once

#include <string>
#include <string_view>

namespace levels {

// The caption "0" marks bands that are not calculated.
[[nodiscard]] bool showsSummary(std::string_view marginalBand, bool minimized);

// Each threshold is its band text up to the first "-" (bands 1 and 2) or "+"
// (band 3), with blanks trimmed at both ends. A text without its separator is
// taken whole, so no band text can make this fail.
[[nodiscard]] std::string summaryTitle(std::string_view marginalBand,
                                       std::string_view significantBand,
                                       std::string_view overwhelmingBand);

} // namespace levels
