#include "resource_paths.h"

namespace kestrand::resources {

const char *const iconPath = ":/kestrand.ico";
const char *const backgroundPath = ":/background.bmp";

} // namespace kestrand::resources
