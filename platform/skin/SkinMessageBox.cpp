#include "SkinMessageBox.h"

#include "skin/SkinMessageBoxDlg.h"
#include "text/StringUtility.h"

#include <QPointer>

namespace {

class DefaultPresenter final : public IMessageBoxPresenter {
public:
    int Present(QWidget* owner, const QString& text, const QString& caption, unsigned int style,
                unsigned int autoCloseSeconds) override {
        // The box is a child of its owner, which may be deleted while the box waits: then the
        // box goes with it, its loop ends, and the answer is cancel.
        QPointer<CSkinMessageBoxDlg> box =
            new CSkinMessageBoxDlg(owner, text, caption, style, autoCloseSeconds);
        const int answer = box->exec();
        if (box.isNull())
            return CSkinMessageBoxDlg::IDCANCEL;
        delete box.data();
        return answer;
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
