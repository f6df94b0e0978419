#pragma once

class QWidget;

namespace pellix {

// The window that the module's notices are owned by when no window of its own is: the host's
// main window.

// The host's first top-level QMainWindow, or null when it has none.
QWidget* ApplicationMainWindow();

} // namespace pellix
