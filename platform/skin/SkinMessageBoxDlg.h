#pragma once
// The skinned message box behind ShowSkinMessageBox: an icon by style, the text, an OK button,
// and an optional countdown after which it closes by itself as if OK were pressed. Lives on the
// stack of the call that shows it.

#include "skin/RgnDialog.h"

#include <QTimer>

class CSkinButton;

class CSkinMessageBoxDlg : public CRgnDialog {
    Q_OBJECT
public:
    // Results of exec().
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    CSkinMessageBoxDlg(QWidget* owner, const QString& text, const QString& caption,
                       unsigned int style, unsigned int autoCloseSeconds);

    const QString& Text() const { return m_text; }
    unsigned int Style() const { return m_nStyle; }
    // The box is counting down to closing itself.
    bool IsAutoClosing() const { return m_autoClose.isActive(); }

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void DrawView(QPainter& painter) override;
    void OnOK() override { done(IDOK); }
    void OnCancel() override { done(IDCANCEL); }
    void showEvent(QShowEvent* event) override;

private:
    QRect TextRect() const;
    void PaintIcon(QPainter& painter, const QRect& area) const;
    bool HasIcon() const;

    QString m_text;
    unsigned int m_nStyle;
    unsigned int m_nAutoCloseSeconds;
    CSkinButton* m_pOkButton;
    CSkinButton* m_pCloseButton;
    QTimer m_autoClose;
};
