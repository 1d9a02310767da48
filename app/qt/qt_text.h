// Texts cross between the form (UTF-8 std::string) and Qt (QString) here.
// Only conversion; no formatting or translation.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kestrand::qtui {

[[nodiscard]] inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// What a player pasted must read the same on every Qt, and QString::toStdString() writes a
// lone surrogate as "?" up to Qt 6.8 but drops it from 6.11 on, which would let the digits
// on either side of it join. Here a lone surrogate becomes U+FFFD, as Windows' own
// conversion makes it, and no number continues through it.
[[nodiscard]] std::string utf8(QStringView utf16);

} // namespace kestrand::qtui
