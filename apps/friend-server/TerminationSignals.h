#pragma once
// SIGINT and SIGTERM end the event loop instead of the process, so that the server closes its
// peers (queueing what was not written to them) and its database on the way out.

class QCoreApplication;

namespace pellix::server {

// False when the signals could not be routed; they then end the process as usual.
bool QuitOnTerminationSignals(QCoreApplication& app);

} // namespace pellix::server
