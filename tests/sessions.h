// The sessions every window plays: a total entered, then Calculate, and the
// bands or the one refusal that must follow. One table for all the suites.
#pragma once

#include "levels/entry_check.h"
#include "test_texts.h"

#include <array>
#include <optional>

namespace kestrand::testing {

struct SessionRow {
    const char* name;
    const char* entry;
    Bands bands; // all "0" for a refusal
    std::optional<levels::Refusal> refusal = std::nullopt;
};

inline const std::array kSessions = [] {
    constexpr levels::Refusal kZero = levels::Refusal::Zero;
    constexpr levels::Refusal kHigh = levels::Refusal::TooHigh;
    constexpr levels::Refusal kLow = levels::Refusal::TooLow;
    const Bands& kReset = kResetBands;
    return std::array{
        SessionRow{"Ten", "10", {"0-2", " 3-4", " 5-6", " 7+"}},
        SessionRow{"Eleven", "11", {"0-2", " 3-4", " 5-7", " 8+"}},
        SessionRow{"Thirteen", "13", {"0-3", " 4-5", " 6-8", " 9+"}},
        SessionRow{"TwoHundredTypedAfterZero", "0200", {"0-40", " 41-80", " 81-120", " 121+"}},
        SessionRow{"Top", "19999", {"0-4000", " 4001-8000", " 8001-11999", " 12000+"}},
        SessionRow{"PastedFraction", "12.5", {"0-2", " 4-5", " 6-8", " 8+"}},
        SessionRow{"PastedNegative", "-50", {"0--10", "-9--20", "-19--30", "-29+"}},
        SessionRow{"PastedTrailingLetters", "12abc", {"0-2", " 3-5", " 6-7", " 8+"}},
        SessionRow{"PastedBlankInside", "1 3", {"0-3", " 4-5", " 6-8", " 9+"}},
        SessionRow{"Zero", "0", kReset, kZero},
        SessionRow{"Empty", "", kReset, kZero},
        SessionRow{"Letters", "abc", kReset, kZero},
        SessionRow{"Five", "5", kReset, kLow},
        SessionRow{"NineWithLeadingZero", "09", kReset, kLow},
        SessionRow{"PastedHalf", "0.5", kReset, kLow},
        SessionRow{"Twenty", "20000", kReset, kHigh},
        SessionRow{"TwentyLeadingZero", "020000", kReset, kHigh},
        SessionRow{"JustAboveTop", "19999.5", kReset, kHigh},
        SessionRow{"BoundTooLowForSixteenBits", "-54616", kReset, kLow},
        SessionRow{"HugeNegative", "-1e300", kReset, kLow},
    };
}();

} // namespace kestrand::testing
