// Names of the images in Qt's resource system, as listed in kestrand.qrc.
// Only the names: loading and caching the images is up to the front end.
#ifndef KESTRAND_RESOURCE_PATHS_H
#define KESTRAND_RESOURCE_PATHS_H

#include <array>

namespace kestrand::resources {

// The window icon at the sizes a task bar asks for. PNG rather than the
// .ico, which Qt reads only through a plugin loaded at start-up.
extern const std::array<const char*, 4> iconPaths;
extern const char* const backgroundPath; // 580 x 276 BMP, 8 bpp

} // namespace kestrand::resources

#endif
