#include "app/box_text.h"

namespace kestrand {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // U+2026

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U;
}

// Characters of line, counted without storing where each starts: a pasted line
// can be a megabyte long.
std::size_t characterCount(std::string_view line) {
    std::size_t count = 0;
    for (const char byte : line) {
        count += startsCharacter(byte) ? 1 : 0;
    }
    return count;
}

// The byte offset where character index of line starts.
std::size_t characterStart(std::string_view line, std::size_t index) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (startsCharacter(line[i]) && index-- == 0) {
            return i;
        }
    }
    return line.size();
}

} // namespace

std::optional<std::string> shortenedForBox(std::string_view text) {
    std::string shown;
    bool cut = false;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(begin, end - begin);
        const bool carriageReturn = !line.empty() && line.back() == '\r';
        if (carriageReturn) {
            line.remove_suffix(1);
        }
        if (const std::size_t count = characterCount(line); count > kLongestBoxLine) {
            constexpr std::size_t half = kLongestBoxLine / 2;
            shown.append(line.substr(0, characterStart(line, half)));
            shown.append(kEllipsis);
            shown.append(line.substr(characterStart(line, count - half)));
            cut = true;
        } else {
            shown.append(line);
        }
        if (carriageReturn) {
            shown.push_back('\r');
        }
        if (newline == std::string_view::npos) {
            break;
        }
        shown.push_back('\n');
        begin = newline + 1;
    }
    return cut ? std::optional(std::move(shown)) : std::nullopt;
}

} // namespace kestrand
