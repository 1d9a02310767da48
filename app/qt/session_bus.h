// Decides, before Qt starts, whether a D-Bus session bus can be reached at all.
// It never starts or talks to a bus; it only spares a hopeless attempt.
#pragma once

namespace kestrand::qtui {

// Qt's accessibility bridge asks for the session bus at start-up. Where no
// address is set, no per-user bus socket exists and no dbus-launch is
// installed, libdbus would still fork the whole process to try to launch one,
// which costs start-up time and cannot succeed; then the bus is marked
// disabled. Wherever a bus could be found, nothing changes.
void skipUnreachableSessionBus();

} // namespace kestrand::qtui
