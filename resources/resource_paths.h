// Names of the images in Qt's resource system, as listed in kestrand.qrc.
// Only the names: loading and caching the images is up to the front end.
#ifndef KESTRAND_RESOURCE_PATHS_H
#define KESTRAND_RESOURCE_PATHS_H

namespace kestrand::resources {

extern const char *const iconPath;       // 32 x 32 ICO with transparency mask
extern const char *const backgroundPath; // 580 x 276 BMP, 8 bpp

} // namespace kestrand::resources

#endif
