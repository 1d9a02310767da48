// Names of the images in Qt's resource system, as listed in kestrand.qrc.
// Only the names: loading and caching the images is up to the front end.
#ifndef KESTRAND_RESOURCE_PATHS_H
#define KESTRAND_RESOURCE_PATHS_H

namespace kestrand::resources {

// The window icon at 32, 64 and 128 pixels: the icon theme's pictures, so the
// title bar and task bar show it sharp at any scale. PNG rather than the .ico,
// which Qt reads only through a plugin loaded at start-up.
inline constexpr int kIconSizes[] = {32, 64, 128};
extern const char* const iconPaths[3];
extern const char* const backgroundPath; // 580 x 276 BMP, 8 bpp

} // namespace kestrand::resources

#endif
