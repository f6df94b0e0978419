#pragma once
// The items of one panel of the out-bar control: two texts, an image, an offline flag and user
// data each. Keeps a count of items per user data so that a lookup for a value the panel does
// not hold costs nothing. Owned by CSkinOutBarCtrlEx.

#include <QAbstractListModel>
#include <QPixmap>
#include <QString>
#include <unordered_map>
#include <vector>

struct OutBarItem {
    QString text;
    QString subText;
    QPixmap image;
    bool offline = false;
    int userData = 0;
};

class OutBarItemModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { SubTextRole = Qt::UserRole + 1, OfflineRole, UserDataRole };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int Count() const { return static_cast<int>(m_items.size()); }
    const OutBarItem* Item(int row) const;
    // Inserts before row; a row outside 0..Count() appends. Returns the row used.
    int Insert(int row, OutBarItem item);
    // Removes every item carrying userData; returns how many went.
    int RemoveByUserData(int userData);
    void RemoveAll();
    // Row of the first item carrying userData, -1 when none.
    int FindByUserData(int userData) const;
    int CountOfUserData(int userData) const;

private:
    void Forget(int userData);

    std::vector<OutBarItem> m_items;
    std::unordered_map<int, int> m_userDataCount;
};
