// Texts cross between the form (UTF-8 std::string) and Qt (QString) here.
// Only conversion; no formatting or translation.
#pragma once

#include <QString>

#include <string_view>

namespace kestrand::qtui {

[[nodiscard]] inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kestrand::qtui
