#include "app/qt/qt_text.h"

namespace kestrand::qtui {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void append(std::string& out, char32_t code) {
    const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0 | (code >> 6));
        byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        byte(0xE0 | (code >> 12));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    } else {
        byte(0xF0 | (code >> 18));
        byte(0x80 | ((code >> 12) & 0x3F));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string utf8(QStringView utf16) {
    std::string out;
    out.reserve(static_cast<std::size_t>(utf16.size()));
    for (qsizetype i = 0; i < utf16.size(); ++i) {
        const QChar unit = utf16[i];
        if (!unit.isSurrogate()) {
            append(out, unit.unicode());
        } else if (unit.isHighSurrogate() && i + 1 < utf16.size() &&
                   utf16[i + 1].isLowSurrogate()) {
            append(out, QChar::surrogateToUcs4(unit, utf16[i + 1]));
            ++i;
        } else {
            append(out, kReplacement);
        }
    }
    return out;
}

} // namespace kestrand::qtui
