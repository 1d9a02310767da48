#include "levels/bands.h"

#include <charconv>
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
void appendPlain(std::string& out, double whole) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   static_cast<std::int64_t>(whole))
                         .ptr;
    out.append(digits.data(), end);
}

// A lower bound with its sign column: " 41", "-9".
void appendSigned(std::string& out, std::int16_t lower) {
    if (lower >= 0) {
        out.push_back(' ');
    }
    appendPlain(out, lower);
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
    // A tie has a fractional part, so |value| < 2^52 and the cast is exact.
    const bool odd = static_cast<std::int64_t>(whole) % 2 != 0;
    return odd ? next : whole;
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
    BandTexts texts{"0-"};
    appendPlain(texts[0], upper[0]);
    for (std::size_t band = 1; band <= 2; ++band) {
        appendSigned(texts[band], lower[band - 1]);
        texts[band] += '-';
        appendPlain(texts[band], upper[band]);
    }
    appendSigned(texts[3], lower[2]);
    texts[3] += '+';
    return texts;
}

} // namespace levels
