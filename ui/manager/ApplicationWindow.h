#pragma once
// The window that the module's notices are owned by when no window of its own is: the host's
// main window.

class QWidget;

// The host's first top-level QMainWindow, or null when it has none.
QWidget* ApplicationMainWindow();
