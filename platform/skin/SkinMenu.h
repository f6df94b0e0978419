#pragma once
// A skinned pop-up menu: items with command ids, separators, a side bar, and four colours.
// Built on the stack by the window that opens it and tracked once.

#include "skin/ColorRef.h"
#include "skin/SkinMenuSideBar.h"
#include "skin/SkinMenuText.h"

#include <QMenu>
#include <optional>

class CSkinMenu : public QMenu {
    Q_OBJECT
public:
    explicit CSkinMenu(QWidget* parent = nullptr);

    // Side bar (top of its gradient), highlight fill, highlight border, and border with
    // separators and the side bar's bottom.
    void SetMenuColors(COLORREF sideBar, COLORREF highlight, COLORREF highlightBorder,
                       COLORREF border);
    void AddSideBar(const CSkinMenuSideBar& sideBar);
    // Appends an item that reports id when chosen. The text colour of the last item appended
    // is the colour of all items.
    QAction* AppendODMenu(int id, const CSkinMenuText& item);
    void AppendSeparator() { addSeparator(); }
    void CheckMenuItem(int id, bool checked);
    QAction* FindItem(int id) const;
    // Shows the menu at a screen point and returns the chosen item's id, 0 when none was
    // chosen (or the chosen item's id is 0).
    int TrackPopupMenu(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyStyle();

    COLORREF m_sideBarColor = 0x00FF9966;
    COLORREF m_highlightColor = 0x00FCE4C6;
    COLORREF m_highlightBorderColor = 0x00DEC040;
    COLORREF m_borderColor = 0x00CD8607;
    COLORREF m_textColor = 0x00000000;
    std::optional<CSkinMenuSideBar> m_sideBar;
};
