// Resource ids shared by kestrand.rc and the Win32 front end that loads them.
// Plain numbers only: no Windows headers, so it compiles anywhere and in the resource compiler.
#ifndef KESTRAND_RESOURCE_IDS_H
#define KESTRAND_RESOURCE_IDS_H

// The application's only icon; id 1 so the shell picks it for the executable.
#define IDI_KESTRAND 1
// Window background artwork (580 x 276, 8 bpp).
#define IDB_BACKGROUND 100

#endif
