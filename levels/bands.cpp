#include "levels/bands.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace levels {
namespace {

constexpr std::array<double, 3> kFractions{0.2, 0.4, 0.6};

std::optional<std::int16_t> toInt16(double whole) {
    // Written so that a NaN fails too.
    if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
          whole <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(whole);
}

// An upper bound's digits, "-" first when negative; -0 is plain "0".
std::string plain(double whole) {
    return std::to_string(static_cast<std::int64_t>(whole));
}

std::string signedForm(std::int16_t lower) {
    std::string text = lower < 0 ? "" : " ";
    text += std::to_string(lower);
    return text;
}

} // namespace

// Built on trunc, whose difference from the value is exact, and not on
// std::round: mingw-w64's round gives 1 for 0.49999999999999994.
double roundHalfEven(double value) {
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    const double next = whole + std::copysign(1.0, value);
    if (fraction != 0.5) {
        return fraction < 0.5 ? whole : next;
    }
    return std::fmod(whole, 2.0) == 0.0 ? whole : next;
}

std::optional<BandTexts> bandTexts(double total) {
    std::array<double, 3> upper{};
    std::array<std::int16_t, 3> lower{};
    for (std::size_t i = 0; i < kFractions.size(); ++i) {
        const double product = total * kFractions[i];
        const auto bound = toInt16(roundHalfEven(product + 1.0));
        if (!bound) {
            return std::nullopt;
        }
        upper[i] = roundHalfEven(product);
        lower[i] = *bound;
    }
    return BandTexts{
        "0-" + plain(upper[0]),
        signedForm(lower[0]) + "-" + plain(upper[1]),
        signedForm(lower[1]) + "-" + plain(upper[2]),
        signedForm(lower[2]) + "+",
    };
}

} // namespace levels
