// Names of the images in Qt's resource system, as listed in kestrand.qrc.
// Only the names: loading and caching the images is up to the front end.
#ifndef KESTRAND_RESOURCE_PATHS_H
#define KESTRAND_RESOURCE_PATHS_H

namespace kestrand::resources {

// The 32 x 32 window icon. PNG rather than the .ico, which Qt reads only
// through a plugin loaded at start-up; the larger sizes are for the desktop's
// icon theme, not for the window, so they stay out of the executable.
extern const char* const iconPath;
extern const char* const backgroundPath; // 580 x 276 BMP, 8 bpp

} // namespace kestrand::resources

#endif
