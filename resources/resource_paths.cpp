#include "resource_paths.h"

namespace kestrand::resources {

const char* const iconPaths[3] = {":/icons/kestrand-32.png", ":/icons/kestrand-64.png",
                                  ":/icons/kestrand-128.png"};
const char* const backgroundPath = ":/background.bmp";

} // namespace kestrand::resources
