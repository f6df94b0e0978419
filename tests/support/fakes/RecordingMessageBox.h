#pragma once
// Message box presenters that show nothing: one records the boxes for as long as it lives.

#include "skin/SkinMessageBox.h"

#include <QString>
#include <vector>

struct ShownBox {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    unsigned int style = 0;
    unsigned int autoCloseSeconds = 0;
    // Shown as a notice, without waiting for it.
    bool notice = false;
};

class RecordingMessageBox final : public IMessageBoxPresenter {
public:
    RecordingMessageBox() { SetMessageBoxPresenter(this); }
    ~RecordingMessageBox() override { SetMessageBoxPresenter(nullptr); }
    RecordingMessageBox(const RecordingMessageBox&) = delete;
    RecordingMessageBox& operator=(const RecordingMessageBox&) = delete;

    int Present(QWidget* owner, const QString& text, const QString& caption, unsigned int style,
                unsigned int autoCloseSeconds) override {
        boxes.push_back({owner, text, caption, style, autoCloseSeconds, false});
        return 1;
    }

    QWidget* PresentNotice(QWidget* owner, const QString& text, const QString& caption,
                           unsigned int style, unsigned int autoCloseSeconds) override {
        boxes.push_back({owner, text, caption, style, autoCloseSeconds, true});
        return nullptr;
    }

    std::vector<ShownBox> boxes;
};

// Answers every message box at once and keeps nothing, for long runs.
class SilentMessageBox final : public IMessageBoxPresenter {
public:
    int Present(QWidget*, const QString&, const QString&, unsigned int, unsigned int) override {
        return 1;
    }
    QWidget* PresentNotice(QWidget*, const QString&, const QString&, unsigned int,
                           unsigned int) override {
        return nullptr;
    }
};
