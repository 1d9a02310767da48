// What a screen reader says of the results: each band with the caption it
// stands beside on screen. Both windows speak the bands in these words.
#pragma once

#include "app/form_layout.h"

#include <array>
#include <string>
#include <string_view>

namespace kestrand {

// "Marginal Victory (+/-): 41-80": the caption of lblNumber(index), then its
// text without the blanks that line the ranges up on screen.
[[nodiscard]] std::string spokenBand(int index, std::string_view bandText);

// The four bands from Draw up, each said as a sentence.
[[nodiscard]] std::string spokenResults(const std::array<std::string, layout::kBandCount>& bands);

} // namespace kestrand
