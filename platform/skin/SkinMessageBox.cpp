#include "SkinMessageBox.h"

#include "client/StringUtility.h"
#include "skin/SkinMessageBoxDlg.h"

namespace {

class DefaultPresenter final : public IMessageBoxPresenter {
public:
    int Present(QWidget* owner, const QString& text, const QString& caption, unsigned int style,
                unsigned int autoCloseSeconds) override {
        CSkinMessageBoxDlg box(owner, text, caption, style, autoCloseSeconds);
        return box.exec();
    }

    QWidget* PresentNotice(QWidget* owner, const QString& text, const QString& caption,
                           unsigned int style, unsigned int autoCloseSeconds) override {
        auto* box = new CSkinMessageBoxDlg(owner, text, caption, style, autoCloseSeconds);
        box->setModal(false);
        QObject::connect(box, &QDialog::finished, box, &QObject::deleteLater);
        box->show();
        return box;
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

QWidget* ShowSkinNotice(QWidget* owner, const std::string& text, const std::string& caption,
                        unsigned int style, unsigned int autoCloseSeconds) {
    return Presenter().PresentNotice(owner, StringUtility::AnsiToQString(text),
                                     StringUtility::AnsiToQString(caption), style,
                                     autoCloseSeconds);
}

void SetMessageBoxPresenter(IMessageBoxPresenter* presenter) {
    g_pPresenter = presenter;
}
