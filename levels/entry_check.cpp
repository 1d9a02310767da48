#include "levels/entry_check.h"

#include "levels/number.h"

#include <string>

namespace levels {
namespace {

constexpr double kLowest = 10.0;
constexpr double kHighest = 19999.0;

std::string lines(std::string_view first, std::string_view second) {
    std::string text(first);
    text += kLineBreak;
    text += second;
    return text;
}

} // namespace

bool passesKeystrokeFilter(std::int16_t code) {
    return (code >= '0' && code <= '9') || code == '\r' || code == '\b';
}

Message keystrokeRefusal() {
    return {"Positive Numeric Input Only Please!", "Input Error", MessageIcon::Information};
}

std::optional<Refusal> rangeCheck(double total) {
    if (total == 0.0) {
        return Refusal::Zero;
    }
    if (total > kHighest) {
        return Refusal::TooHigh;
    }
    if (total > 0.0 && total < kLowest) {
        return Refusal::TooLow;
    }
    return std::nullopt;
}

Message refusalMessage(Refusal refusal, std::string_view entryText, double total,
                       std::string_view decimalSeparator) {
    switch (refusal) {
    case Refusal::Zero:
        return {lines("Invalid Entry: " + std::string(entryText) + ". You Must",
                      "Enter a Numeric Non-Zero Value!"),
                "Zero Value", MessageIcon::Exclamation};
    case Refusal::TooHigh:
        return {lines("The Value is Too High at " + std::string(entryText) + "!",
                      "It Must be Below 20,000"),
                "Victory Point Total Too High", MessageIcon::Exclamation};
    case Refusal::TooLow:
        break;
    }
    return {lines("The Value is Too Low at " + generalNumberForm(total, decimalSeparator) + "!",
                  "It Must be Over 10"),
            "Victory Point Total Too Low", MessageIcon::Exclamation};
}

} // namespace levels
