#include "levels/number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace levels {
namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks the text with blanks, tabs and line feeds made invisible, so that
// "1 2" and "12" read alike.
class Cursor final {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    [[nodiscard]] char peek() {
        while (pos_ < text_.size() && isSkipped(text_[pos_])) {
            ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }
    [[nodiscard]] std::size_t position() const { return pos_; }
    void rewind(std::size_t position) { pos_ = position; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// More digits than this cannot change a correctly rounded double; beyond it
// only whether any non-zero digit follows matters.
constexpr std::size_t kMaxDigits = 800;
// Exponents are saturated here: anything larger is out of range anyway.
constexpr std::int64_t kExponentCap = 1'000'000'000;

// The number as 0.D x 10^E, with D free of leading zeros.
struct Decimal final {
    bool negative = false;
    std::string digits;
    bool sticky = false;
    std::int64_t exponent = 0;
};

void appendDigit(Decimal& d, char c) {
    if (d.digits.size() < kMaxDigits) {
        d.digits.push_back(c);
    } else if (c != '0') {
        d.sticky = true;
    }
}

std::int64_t readExponent(Cursor& in) {
    const std::size_t start = in.position();
    in.advance(); // the "E" or "e"
    bool negative = false;
    if (const char sign = in.peek(); sign == '+' || sign == '-') {
        negative = sign == '-';
        in.advance();
    }
    if (!isDigit(in.peek())) {
        in.rewind(start); // "12e" is 12 followed by a stray letter
        return 0;
    }
    std::int64_t value = 0;
    for (char c = in.peek(); isDigit(c); c = in.peek()) {
        value = std::min<std::int64_t>(value * 10 + (c - '0'), kExponentCap);
        in.advance();
    }
    return negative ? -value : value;
}

Decimal scan(std::string_view text) {
    Cursor in(text);
    Decimal d;
    if (const char sign = in.peek(); sign == '+' || sign == '-') {
        d.negative = sign == '-';
        in.advance();
    }
    bool anyDigit = false;
    bool seenPoint = false;
    for (char c = in.peek();; c = in.peek()) {
        if (isDigit(c)) {
            anyDigit = true;
            if (d.digits.empty() && c == '0') {
                if (seenPoint) {
                    --d.exponent; // a zero right after the point shifts the value down
                }
            } else {
                appendDigit(d, c);
                if (!seenPoint) {
                    ++d.exponent;
                }
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        in.advance();
    }
    if (!anyDigit) {
        return {};
    }
    if (const char c = in.peek(); c == 'e' || c == 'E') {
        d.exponent += readExponent(in);
    }
    return d;
}

// The digits as an integer times a power of ten: with no point to write, the
// text means the same in every locale, for strtod as for from_chars.
std::string canonical(const Decimal& d) {
    std::string text = d.digits;
    if (d.sticky) {
        text.push_back('1');
    }
    text += 'e';
    text += std::to_string(d.exponent - static_cast<std::int64_t>(text.size() - 1));
    return text;
}

// The magnitude 0.D x 10^E rounded to the nearest double, ties to even; the
// caller has already saturated what lies far outside the double range.
double correctlyRounded(const Decimal& d) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    const std::string text = canonical(d);
#if LEVELS_DOUBLE_FROM_CHARS
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        magnitude = d.exponent > 0 ? kLargest : 0.0;
    }
    return magnitude;
#else
    // Where the library has no from_chars for double (emscripten's libc++),
    // the C library's strtod, which rounds correctly from any number of digits.
    const double magnitude = std::strtod(text.c_str(), nullptr);
    return std::isinf(magnitude) ? kLargest : magnitude;
#endif
}

} // namespace

double readTotal(std::string_view text) {
    const Decimal d = scan(text);
    if (d.digits.empty()) {
        return 0.0;
    }
    constexpr double kLargest = std::numeric_limits<double>::max();
    // 0.1e310 overflows and 0.9e-330 underflows whatever the digits.
    if (d.exponent > 310) {
        return d.negative ? -kLargest : kLargest;
    }
    if (d.exponent < -330) {
        return 0.0;
    }
    const double magnitude = correctlyRounded(d);
    return d.negative ? -magnitude : magnitude;
}

std::string generalNumberForm(double value, std::string_view decimalSeparator) {
    if (value == 0.0) {
        return "0";
    }
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    // 15 significant digits, correctly rounded: d.dddddddddddddde+xx. printf
    // rather than std::to_chars, which would triple the size of a static
    // Windows build; its decimal point follows the C locale, so only the
    // digits and the exponent are read back.
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.14e", value);
    const std::string_view sci(buffer.data(), static_cast<std::size_t>(length));
    const std::size_t e = sci.find('e');
    const bool negative = sci.front() == '-';

    std::string digits;
    for (const char c : sci.substr(0, e)) {
        if (isDigit(c)) {
            digits.push_back(c);
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                    exponent);

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0";
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto whole = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= whole) {
                out += digits;
                out.append(whole - digits.size(), '0');
            } else {
                out += digits.substr(0, whole);
                out += decimalSeparator;
                out += digits.substr(whole);
            }
        }
        return out;
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) {
        out += decimalSeparator;
        out += digits.substr(1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out += "0";
    }
    out += std::to_string(magnitude);
    return out;
}

} // namespace levels
