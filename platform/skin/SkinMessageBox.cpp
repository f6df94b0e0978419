#include "SkinMessageBox.h"

#include "client/StringUtility.h"

#include <QMessageBox>
#include <QTimer>

namespace {

class DefaultPresenter final : public IMessageBoxPresenter {
public:
    int Present(QWidget* owner, const QString& text, const QString& caption, unsigned int style,
                unsigned int autoCloseSeconds) override {
        QMessageBox box(owner);
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(style == MB_STYLE_ERROR     ? QMessageBox::Critical
                    : style == MB_STYLE_WARNING ? QMessageBox::Warning
                                                : QMessageBox::NoIcon);
        if (autoCloseSeconds > 0)
            QTimer::singleShot(static_cast<int>(autoCloseSeconds) * 1000, &box,
                               &QMessageBox::accept);
        return box.exec();
    }
};

IMessageBoxPresenter* g_pPresenter = nullptr;

IMessageBoxPresenter& Presenter() {
    static DefaultPresenter defaultPresenter;
    return g_pPresenter != nullptr ? *g_pPresenter : defaultPresenter;
}

} // namespace

int ShowSkinMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                       unsigned int style, unsigned int autoCloseSeconds) {
    return Presenter().Present(owner, StringUtility::AnsiToQString(text),
                               StringUtility::AnsiToQString(caption), style, autoCloseSeconds);
}

void SetMessageBoxPresenter(IMessageBoxPresenter* presenter) {
    g_pPresenter = presenter;
}
