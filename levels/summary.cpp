#include "levels/summary.h"

namespace levels {
namespace {

// Only code 32 counts as a blank here: a tab stays.
std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view threshold(std::string_view band, char separator) {
    return trimBlanks(band.substr(0, band.find(separator)));
}

} // namespace

bool showsSummary(std::string_view marginalBand, bool minimized) {
    return marginalBand != "0" && minimized;
}

std::string summaryTitle(std::string_view marginalBand, std::string_view significantBand,
                         std::string_view overwhelmingBand) {
    std::string title = "KRD: MV=";
    title += threshold(marginalBand, '-');
    title += ", SV=";
    title += threshold(significantBand, '-');
    title += ", OV=";
    title += threshold(overwhelmingBand, '+');
    return title;
}

} // namespace levels
