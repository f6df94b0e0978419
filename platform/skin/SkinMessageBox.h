#pragma once
// The skin library's message box. Every box goes through one replaceable presenter, so a test can
// record boxes instead of blocking on them.

#include <QString>
#include <string>

class QWidget;

// Styles as the callers pass them.
constexpr unsigned int MB_STYLE_PLAIN = 0;
constexpr unsigned int MB_STYLE_ERROR = 16;
constexpr unsigned int MB_STYLE_WARNING = 48;

class IMessageBoxPresenter {
public:
    virtual ~IMessageBoxPresenter() = default;
    // autoCloseSeconds 0 means the box stays until the user closes it.
    virtual int Present(QWidget* owner, const QString& text, const QString& caption,
                        unsigned int style, unsigned int autoCloseSeconds) = 0;
    // Shows a box without waiting for it; returns the box, or null when none was made.
    virtual QWidget* PresentNotice(QWidget* owner, const QString& text, const QString& caption,
                                   unsigned int style, unsigned int autoCloseSeconds) = 0;
};

// Shows text and caption (ANSI, GBK) with the given style and waits until the box closes;
// returns the presenter's answer. A box whose owner is deleted meanwhile closes with it.
int ShowSkinMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                       unsigned int style, unsigned int autoCloseSeconds);

// The same box as a notice: the caller goes on at once, and the box deletes itself when the user
// or its time closes it (or with its owner). Returns the box, or null when none was made.
QWidget* ShowSkinNotice(QWidget* owner, const std::string& text, const std::string& caption,
                        unsigned int style, unsigned int autoCloseSeconds);

// Replaces the presenter (not owned); null restores the default skinned box.
void SetMessageBoxPresenter(IMessageBoxPresenter* presenter);
