#include "ApplicationWindow.h"

#include <QApplication>
#include <QMainWindow>

namespace pellix {

QWidget* ApplicationMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* mainWindow = qobject_cast<QMainWindow*>(widget))
            return mainWindow;
    }
    return nullptr;
}

} // namespace pellix
