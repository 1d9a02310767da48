#include "resource_paths.h"

namespace kestrand::resources {

const char* const iconPath = ":/icons/kestrand-32.png";
const char* const backgroundPath = ":/background.bmp";

} // namespace kestrand::resources
