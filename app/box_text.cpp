#include "app/box_text.h"

#include <vector>

namespace kestrand {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // U+2026

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U;
}

// Byte offsets where each character of line starts.
std::vector<std::size_t> characterStarts(std::string_view line) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (startsCharacter(line[i])) {
            starts.push_back(i);
        }
    }
    return starts;
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
        const std::vector<std::size_t> starts = characterStarts(line);
        if (starts.size() > kLongestBoxLine) {
            constexpr std::size_t half = kLongestBoxLine / 2;
            shown.append(line.substr(0, starts[half]));
            shown.append(kEllipsis);
            shown.append(line.substr(starts[starts.size() - half]));
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
