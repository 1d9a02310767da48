#include "app/spoken_results.h"

namespace kestrand {

std::string spokenBand(int index, std::string_view bandText) {
    const std::size_t first = bandText.find_first_not_of(' ');
    bandText = first == std::string_view::npos
                   ? std::string_view()
                   : bandText.substr(first, bandText.find_last_not_of(' ') - first + 1);
    std::string spoken(layout::rowOf(layout::bandCaptionControl(index)).text);
    spoken += ' ';
    spoken += bandText;
    return spoken;
}

std::string spokenResults(const std::array<std::string, layout::kBandCount>& bands) {
    std::string spoken;
    for (int i = 0; i < layout::kBandCount; ++i) {
        if (i > 0) {
            spoken += ' ';
        }
        spoken += spokenBand(i, bands[static_cast<std::size_t>(i)]);
        spoken += '.';
    }
    return spoken;
}

} // namespace kestrand
