#pragma once
// Every connection costs a file descriptor: the server raises its soft limit as far as allowed.

#include <cstdint>

namespace pellix::server {

// Raises the soft limit on open files to the hard limit; returns the soft limit now in force
// (0 when it cannot be read).
uint64_t RaiseOpenFileLimit();

} // namespace pellix::server
