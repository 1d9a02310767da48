// The guards of the entry box: which typed characters may enter it, and which
// totals are refused, with the exact wording of each refusal. Nothing here
// touches a window; the form shows the messages and resets the display.
#pragma once

#include "levels/message.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace levels {

// Digits, carriage return (Enter) and backspace pass; every other code,
// control codes included, is refused. Compared as the signed 16-bit value.
[[nodiscard]] bool passesKeystrokeFilter(std::int16_t code);
[[nodiscard]] Message keystrokeRefusal();

enum class Refusal { Zero, TooHigh, TooLow };

// Zero is refused, so is anything above 19999 and anything above 0 but below
// 10. Negative totals pass: only pasting can bring them, and the bands cope.
[[nodiscard]] std::optional<Refusal> rangeCheck(double total);

// The zero and too-high texts quote the entry as it stands; the too-low text
// quotes the value that was read, in general number form.
[[nodiscard]] Message refusalMessage(Refusal refusal, std::string_view entryText, double total,
                                     std::string_view decimalSeparator);

} // namespace levels
