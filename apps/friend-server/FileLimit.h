#pragma once
// What a process holding thousands of connections needs: every connection costs a file
// descriptor, so the soft limit is raised as far as allowed, and an event loop on epoll rather
// than Qt's own ones, which poll every socket on every turn (the GLib one also walks a list of
// every socket each time a socket starts or stops waiting to write).

#include <cstdint>

namespace pellix::server {

// Raises the soft limit on open files to the hard limit; returns the soft limit now in force
// (0 when it cannot be read).
uint64_t RaiseOpenFileLimit();

// Installs the EpollEventDispatcher for the main thread; call before the application object.
void UseEpollEventLoop();

} // namespace pellix::server
