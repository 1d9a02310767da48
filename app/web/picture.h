// The window's background picture as PNG bytes, converted at build time from
// the resources' bitmap. Nothing here draws it.
#pragma once

#include <span>

namespace kestrand::web {

extern const std::span<const unsigned char> kPicture;

} // namespace kestrand::web
