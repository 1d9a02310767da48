// The four victory-level bands of a total, as the texts the band labels show.
// It computes all four or none; writing them is the form's business.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace levels {

using BandTexts = std::array<std::string, 4>;

// Draw "0-U0", Marginal "L1-U1", Significant "L2-U2", Overwhelming "L3+",
// where Un = R(total x fraction) and Ln = R(total x fraction + 1), R rounding
// half to even, fractions 0.2, 0.4, 0.6. Lower bounds carry a sign column
// (" 41", "-9"). Empty when a lower bound does not fit in 16 bits, which only
// a pasted total of about -54616 or below can cause.
[[nodiscard]] std::optional<BandTexts> bandTexts(double total);

// Ties go to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
[[nodiscard]] double roundHalfEven(double value);

} // namespace levels
