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
};

// Shows text and caption (ANSI, GBK) with the given style; returns the presenter's answer.
int ShowSkinMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                       unsigned int style, unsigned int autoCloseSeconds);

// Replaces the presenter (not owned); null restores the default skinned box.
void SetMessageBoxPresenter(IMessageBoxPresenter* presenter);
