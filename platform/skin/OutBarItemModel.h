#pragma once
// The items of one panel of the out-bar control: two texts, an image, an offline flag and user
// data each. Items stay in the slot they were put in; the rows are an order of slot numbers, so
// moving an item shifts 4-byte numbers, and an index finds an item by its user data at once. A
// batch of changes reaches the views as one reset. Inside a batch, an item re-filed to the first
// or the last row is only marked so, and the rows are put in order when next looked at: a sign-on
// that re-files ten thousand friends one after another to either end sorts the rows once instead
// of shifting them for each. Owned by CSkinOutBarCtrlEx.

#include "skin/OutBarImageTable.h"

#include <QAbstractListModel>
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

// What a caller gives an item. The image is shared with the caller, never copied pixel by pixel.
struct OutBarItemValues {
    QString text;
    QString subText;
    const QPixmap* image = nullptr;
    bool offline = false;
    int userData = 0;
};

struct OutBarItem {
    QString text;
    QString subText;
    int userData = 0;
    OutBarImageTable::Handle image = OutBarImageTable::kNoImage;
    bool offline = false;
};

class OutBarItemModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { SubTextRole = Qt::UserRole + 1, OfflineRole, UserDataRole };

    explicit OutBarItemModel(OutBarImageTable& images, QObject* parent = nullptr);
    ~OutBarItemModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int Count() const { return static_cast<int>(m_rows.size()); }
    const OutBarItem* Item(int row) const;
    // Inserts before row; a row outside 0..Count() appends. Returns the row used.
    int Insert(int row, const OutBarItemValues& values);
    // Removes every item carrying userData; returns how many went.
    int RemoveByUserData(int userData);
    void RemoveAll();
    // Row of the first item carrying userData, -1 when none.
    int FindByUserData(int userData) const;
    int CountOfUserData(int userData) const;
    // Moves the item at from so that it ends at row to (the last row when to is out of range).
    // Returns the row it ends at, -1 when from is no row.
    int Move(int from, int to);
    // The same rows as RemoveByUserData(values.userData) followed by Insert(position, values),
    // but the first such item is kept, given the new values and moved, so that it keeps its
    // selection and only the rows in between change. Returns the row it ends at.
    int Refile(int position, const OutBarItemValues& values);

    // Between the outermost BeginBatch and EndBatch the views are told nothing, then one reset if
    // anything changed; lookups stay exact throughout.
    void BeginBatch();
    void EndBatch();

private:
    static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

    // Where a batch re-filed an item whose row is not settled yet.
    enum class End : std::uint8_t { None, First, Last };

    struct Slot {
        OutBarItem item;
        // The slot's row, exact below m_firstStaleRow; later rows are renumbered when asked for.
        mutable int row = 0;
        // The next slot whose item carries the same user data.
        std::uint32_t nextSameUserData = kNoSlot;
        mutable End end = End::None;
        // The slot's latest entry in m_toEnds.
        mutable std::uint32_t endEntry = 0;
    };

    std::uint32_t TakeSlot(const OutBarItemValues& values);
    void FreeSlot(std::uint32_t slot);
    void Unindex(std::uint32_t slot);
    void SetValues(std::uint32_t slot, const OutBarItemValues& values);
    void RemoveRow(int row);
    int RowOf(std::uint32_t slot) const;
    // The one slot carrying userData, kNoSlot when none; fails (false) when there are several.
    bool SoleSlotOf(int userData, std::uint32_t& slot) const;
    bool RefileToEnd(int position, const OutBarItemValues& values, int& row);
    void MarkForEnd(std::uint32_t slot, End end);
    // Puts the items marked for either end in their rows.
    void SettleEnds() const;
    void RowsChangedFrom(int row) const;
    bool QuietForBatch();

    OutBarImageTable& m_images;
    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_freeSlots;
    // Row -> slot; holds every item, those marked for an end at no row in particular.
    mutable std::vector<std::uint32_t> m_rows;
    // Slots marked for an end, in the order marked; a slot marked again appears again.
    mutable std::vector<std::uint32_t> m_toEnds;
    QHash<int, std::uint32_t> m_byUserData;
    mutable int m_firstStaleRow = 0;
    int m_batchDepth = 0;
    bool m_bResetOpen = false;
};
