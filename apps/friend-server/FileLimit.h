#pragma once
// What a process holding thousands of connections needs: every connection costs a file
// descriptor, so the soft limit is raised as far as allowed, and Qt's plain poll loop rather than
// the GLib one, which walks a list of every socket each time a socket starts or stops waiting to
// write.

#include <cstdint>

namespace pellix::server {

// Raises the soft limit on open files to the hard limit; returns the soft limit now in force
// (0 when it cannot be read).
uint64_t RaiseOpenFileLimit();

// Asks for Qt's poll loop unless QT_NO_GLIB is set already; call before the application object.
void UsePlainEventLoop();

} // namespace pellix::server
