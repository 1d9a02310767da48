// The cut a message box makes in a line too long for the screen.
#include "app/box_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using kestrand::kLongestBoxLine;
using kestrand::shortenedForBox;

const std::string kEllipsis = "\xE2\x80\xA6";
const std::string kHalfA(kLongestBoxLine / 2, 'a');
const std::string kHalfB(kLongestBoxLine / 2, 'b');
const std::string kEuro = "\xE2\x82\xAC"; // three bytes, one character

struct BoxRow {
    const char* name;
    std::string text;
    std::optional<std::string> shown;
};

class ShortenedForBox : public testing::TestWithParam<BoxRow> {};

TEST_P(ShortenedForBox, CutsOnlyLinesThatDoNotFit) {
    EXPECT_EQ(shortenedForBox(GetParam().text), GetParam().shown);
}

std::string times(const std::string& piece, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        s += piece;
    }
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortenedForBox,
    testing::Values(
        BoxRow{"EmptyFits", "", std::nullopt},
        BoxRow{"LongestLineFits", std::string(kLongestBoxLine, 'x') + "\r\nnext", std::nullopt},
        BoxRow{"OneCharacterMoreIsCut", kHalfA + "x" + kHalfB, kHalfA + kEllipsis + kHalfB},
        BoxRow{"CountsCharactersNotBytes", times(kEuro, kLongestBoxLine), std::nullopt},
        BoxRow{"CutsBetweenCharacters", times(kEuro, kLongestBoxLine + 1),
               times(kEuro, kLongestBoxLine / 2) + kEllipsis + times(kEuro, kLongestBoxLine / 2)},
        BoxRow{"KeepsCarriageReturnLineFeed", "Top " + std::string(500, '9') + "!\r\nBelow",
               "Top " + std::string(kLongestBoxLine / 2 - 4, '9') + kEllipsis +
                   std::string(kLongestBoxLine / 2 - 1, '9') + "!\r\nBelow"},
        BoxRow{"CutsEachLongLine", kHalfA + kHalfA + "\n" + kHalfB + kHalfB + "b",
               kHalfA + kHalfA + "\n" + kHalfB + kEllipsis + kHalfB}),
    [](const testing::TestParamInfo<BoxRow>& info) { return std::string(info.param.name); });

} // namespace
