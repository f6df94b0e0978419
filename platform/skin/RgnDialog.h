#pragma once
// A captionless dialog drawn from border images, the base of every skinned window. The window's
// creator owns it; closing only hides it. Subclasses set their skin in OnInitDialog, place their
// controls in RectifyControl and paint their own extras in DrawView.

#include "skin/ColorRef.h"
#include "skin/SkinFrame.h"

#include <QDialog>
#include <QPoint>

class CRgnDialog : public QDialog {
    Q_OBJECT
public:
    explicit CRgnDialog(QWidget* parent = nullptr);

    // Runs OnInitDialog once; showing the window for the first time does it too.
    bool Create();

    // Frame images: top-left, top, top-right, left, client, right, bottom-left, bottom,
    // bottom-right; an empty name leaves that piece out (it is then drawn plain).
    void LoadBorderImage(const QString& topLeft, const QString& top, const QString& topRight,
                         const QString& left, const QString& client, const QString& right,
                         const QString& bottomLeft, const QString& bottom,
                         const QString& bottomRight, COLORREF transparent);
    // Background colour of the window's body and of the controls that draw on it.
    void SetColorAttribute(COLORREF color);
    COLORREF GetColorAttribute() const { return m_colorAttribute; }
    // Height of the top band that drags the window and holds its title.
    int CaptionHeight() const { return m_frame.CaptionHeight(); }
    // Centres the window over its visible parent, or in the work area.
    void CenterWindow();

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    void setVisible(bool visible) override;

protected:
    virtual bool OnInitDialog() { return true; }
    // Called with the new client size each time the window is resized.
    virtual void RectifyControl(int cx, int cy);
    // Called after the frame is painted.
    virtual void DrawView(QPainter& painter);
    virtual void OnOK() { QDialog::accept(); }
    virtual void OnCancel() { QDialog::reject(); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintTitle(QPainter& painter);
    void UpdateMask();

    SkinFrame m_frame;
    COLORREF m_colorAttribute = 0x00FFFFFF;
    bool m_bInitialized = false;
    bool m_bDragging = false;
    QPoint m_dragOffset;
};
