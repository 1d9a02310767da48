// Starts Kestrand on Windows: one window, no arguments, no settings.
#include "app/win32/win32_kestrand.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    kestrand::win32::Win32Kestrand kestrand(instance);
    kestrand.show(showCommand);
    return kestrand::win32::runMessageLoop(kestrand.window());
}
