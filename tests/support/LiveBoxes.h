#pragma once
// Real message boxes in a test: which are open, and a guard against a box that waits. The guard
// closes any modal window as soon as one runs and counts them, so a test that expects nothing to
// wait for the user fails on the count instead of hanging in a box nobody closes.

#include "skin/SkinMessageBoxDlg.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <vector>

// The skinned message boxes on screen.
inline std::vector<CSkinMessageBoxDlg*> VisibleSkinBoxes() {
    std::vector<CSkinMessageBoxDlg*> boxes;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* box = qobject_cast<CSkinMessageBoxDlg*>(widget);
        if (box != nullptr && box->isVisible())
            boxes.push_back(box);
    }
    return boxes;
}

class ModalBoxGuard {
public:
    ModalBoxGuard() {
        QObject::connect(&m_Timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            ++m_nClosed;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
        m_Timer.start(kPollMs);
    }
    ModalBoxGuard(const ModalBoxGuard&) = delete;
    ModalBoxGuard& operator=(const ModalBoxGuard&) = delete;

    int Closed() const { return m_nClosed; }

private:
    static constexpr int kPollMs = 10;
    QTimer m_Timer;
    int m_nClosed = 0;
};
