#include "resource_paths.h"

namespace kestrand::resources {

const std::array<const char*, 4> iconPaths{":/icons/kestrand-32.png", ":/icons/kestrand-48.png",
                                           ":/icons/kestrand-64.png", ":/icons/kestrand-128.png"};
const char* const backgroundPath = ":/background.bmp";

} // namespace kestrand::resources
