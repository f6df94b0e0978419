#pragma once
// The stacked-tab list control: tab panels whose headers stack above and below the open one,
// each holding a list of items (two texts, an image, an offline flag, user data). Only the
// visible rows are painted, items share their images, and an item is found by its user data and
// moved without rebuilding the rows, so thousands of items stay cheap. Owned by its parent window.

#include "skin/OutBarItemModel.h"

#include <QPixmap>
#include <QWidget>
#include <memory>
#include <vector>

class QListView;
class OutBarItemDelegate;

class CSkinOutBarCtrlEx : public QWidget {
    Q_OBJECT
public:
    // Event codes of itemNotify.
    enum Notify { NotifyClick = 1, NotifyRightClick = 2, NotifyDoubleClick = 3 };

    explicit CSkinOutBarCtrlEx(QWidget* parent = nullptr);
    ~CSkinOutBarCtrlEx() override;

    // Adds a panel before index (at the end when index is out of range); the header image is a
    // strip of three states: normal, hover, open. Returns the panel's index.
    int InsertTabPannel(const QString& text, int index, const QString& imageFile);
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    void SetSelTab(int tab);
    int GetCurrentTabIndex() const { return m_nSelTab; }
    void SetTabText(int tab, const QString& text);
    QString GetTabText(int tab) const;

    // Inserts before position (at the end when out of range); image may be null. Returns the
    // row used, -1 for an unknown tab.
    int InsertItem(int tab, int position, const QString& text, const QString& subText,
                   const QPixmap* image, bool offline, int userData);
    void RemoveAllItem(int tab);
    // Removes every item of the tab carrying userData; returns how many went.
    int RemoveItemByUserData(int tab, int userData);
    // Row of the first item of the tab carrying userData, -1 when none.
    int FindItemByUserData(int tab, int userData) const;
    // Moves the first item of the tab carrying userData so that it ends at row position (the last
    // row when out of range), keeping its selection. Returns that row, -1 when there is none.
    int MoveItem(int tab, int userData, int position);
    // Leaves the tab with the rows RemoveItemByUserData(tab, userData) and then InsertItem(tab,
    // position, ...) would, but keeps the first item carrying userData (and its selection), gives
    // it the new values and moves only the rows in between. Returns the row used, -1 for an
    // unknown tab.
    int RefileItem(int tab, int position, const QString& text, const QString& subText,
                   const QPixmap* image, bool offline, int userData);
    // Changes between the outermost BeginBatch and EndBatch reach the view as one reset of each
    // tab that changed, e.g. a refill of thousands of items; queries stay exact in between. The
    // selected item is selected again afterwards while its user data is still in its tab.
    void BeginBatch();
    void EndBatch();
    int GetItemCount(int tab) const;
    // Item queries of the open panel, and of any panel.
    QString GetItemText(int item) const { return GetItemText(m_nSelTab, item); }
    QString GetItemText(int tab, int item) const;
    QString GetItemSubText(int tab, int item) const;
    int GetItemUserData(int item) const { return GetItemUserData(m_nSelTab, item); }
    int GetItemUserData(int tab, int item) const;
    bool IsItemOffline(int tab, int item) const;

    // Where things are drawn, in this control's coordinates.
    QRect TabRect(int tab) const;
    QRect ItemRect(int item) const;
    QWidget* ItemViewport() const;

Q_SIGNALS:
    // A click, right-click or double-click on item of the open panel tab.
    void itemNotify(int event, int tab, int item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tab {
        QString text;
        QPixmap strip;
        std::unique_ptr<OutBarItemModel> model;
    };

    const OutBarItem* Item(int tab, int item) const;
    int HeaderHeight() const;
    int TabAt(const QPoint& pos) const;
    void Relayout();
    void PaintHeader(QPainter& painter, int tab) const;

    void RememberSelection();
    void RestoreSelection();

    // Declared before the tabs: their models hold handles into it.
    OutBarImageTable m_images;
    std::vector<Tab> m_tabs;
    int m_nSelTab = -1;
    int m_nHoverTab = -1;
    QListView* m_pList;
    OutBarItemDelegate* m_pDelegate;
    int m_nBatchDepth = 0;
    // The open tab and the user data of its selected item when the batch began; -1 for none.
    int m_nBatchSelTab = -1;
    int m_nBatchSelUserData = 0;
};
