#include "OutBarItemModel.h"

#include <algorithm>

OutBarItemModel::OutBarItemModel(OutBarImageTable& images, QObject* parent)
    : QAbstractListModel(parent), m_images(images) {}

OutBarItemModel::~OutBarItemModel() {
    if (m_bResetOpen)
        endResetModel();
    for (const std::uint32_t slot : m_rows)
        m_images.Release(m_slots[slot].item.image);
}

int OutBarItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant OutBarItemModel::data(const QModelIndex& index, int role) const {
    const OutBarItem* item = index.isValid() ? Item(index.row()) : nullptr;
    if (item == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return item->text;
    case Qt::DecorationRole:
        if (item->image == OutBarImageTable::kNoImage)
            return {};
        return m_images.Image(item->image, item->offline);
    case SubTextRole:
        return item->subText;
    case OfflineRole:
        return item->offline;
    case UserDataRole:
        return item->userData;
    default:
        return {};
    }
}

const OutBarItem* OutBarItemModel::Item(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    SettleEnds();
    return &m_slots[m_rows[static_cast<std::size_t>(row)]].item;
}

int OutBarItemModel::Insert(int row, const OutBarItemValues& values) {
    if (row < 0 || row > Count())
        row = Count();
    SettleEnds();
    const bool quiet = QuietForBatch();
    if (!quiet)
        beginInsertRows(QModelIndex(), row, row);
    const std::uint32_t slot = TakeSlot(values);
    m_rows.insert(m_rows.begin() + row, slot);
    m_slots[slot].row = row;
    RowsChangedFrom(row + 1);
    if (!quiet)
        endInsertRows();
    return row;
}

int OutBarItemModel::RemoveByUserData(int userData) {
    int removed = 0;
    for (int row = FindByUserData(userData); row >= 0; row = FindByUserData(userData)) {
        RemoveRow(row);
        ++removed;
    }
    return removed;
}

void OutBarItemModel::RemoveAll() {
    const bool quiet = QuietForBatch();
    if (!quiet)
        beginResetModel();
    for (const std::uint32_t slot : m_rows)
        m_images.Release(m_slots[slot].item.image);
    // The vectors keep their capacity for the refill that usually follows.
    m_slots.clear();
    m_freeSlots.clear();
    m_rows.clear();
    m_toEnds.clear();
    m_byUserData.clear();
    m_firstStaleRow = 0;
    if (!quiet)
        endResetModel();
}

int OutBarItemModel::FindByUserData(int userData) const {
    int first = -1;
    for (std::uint32_t slot = m_byUserData.value(userData, kNoSlot); slot != kNoSlot;
         slot = m_slots[slot].nextSameUserData) {
        const int row = RowOf(slot);
        if (first < 0 || row < first)
            first = row;
    }
    return first;
}

int OutBarItemModel::CountOfUserData(int userData) const {
    int count = 0;
    for (std::uint32_t slot = m_byUserData.value(userData, kNoSlot); slot != kNoSlot;
         slot = m_slots[slot].nextSameUserData)
        ++count;
    return count;
}

int OutBarItemModel::Move(int from, int to) {
    if (from < 0 || from >= Count())
        return -1;
    if (to < 0 || to >= Count())
        to = Count() - 1;
    if (from == to)
        return to;
    SettleEnds();
    const bool quiet = QuietForBatch();
    // The destination is counted in rows before the move: the row the item goes in front of.
    if (!quiet)
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    const auto rows = m_rows.begin();
    if (to < from)
        std::rotate(rows + to, rows + from, rows + from + 1);
    else
        std::rotate(rows + from, rows + from + 1, rows + to + 1);
    RowsChangedFrom(std::min(from, to));
    m_slots[m_rows[static_cast<std::size_t>(to)]].row = to;
    if (!quiet)
        endMoveRows();
    return to;
}

int OutBarItemModel::Refile(int position, const OutBarItemValues& values) {
    if (int row = 0; RefileToEnd(position, values, row))
        return row;
    const int first = FindByUserData(values.userData);
    if (first < 0)
        return Insert(position, values);
    const std::uint32_t kept = m_rows[static_cast<std::size_t>(first)];
    for (;;) {
        std::uint32_t other = m_byUserData.value(values.userData, kNoSlot);
        while (other == kept)
            other = m_slots[other].nextSameUserData;
        if (other == kNoSlot)
            break;
        RemoveRow(RowOf(other));
    }
    // Without the item the list has Count() - 1 rows; a position past them means the end.
    const int last = Count() - 1;
    const int row = Move(RowOf(kept), position < 0 || position > last ? last : position);
    SetValues(kept, values);
    if (!QuietForBatch())
        Q_EMIT dataChanged(index(row), index(row));
    return row;
}

bool OutBarItemModel::SoleSlotOf(int userData, std::uint32_t& slot) const {
    slot = m_byUserData.value(userData, kNoSlot);
    return slot == kNoSlot || m_slots[slot].nextSameUserData == kNoSlot;
}

// Within a batch, to the first or the last row of the rows without the item, for a user with at
// most one item: marked, not moved. The row returned is exact all the same, the item being the
// latest to go to its end.
bool OutBarItemModel::RefileToEnd(int position, const OutBarItemValues& values, int& row) {
    std::uint32_t slot = kNoSlot;
    if (m_batchDepth == 0 || !SoleSlotOf(values.userData, slot))
        return false;
    const int others = Count() - (slot == kNoSlot ? 0 : 1);
    const bool first = position == 0;
    if (!first && position >= 0 && position < others)
        return false;
    QuietForBatch();
    if (slot == kNoSlot) {
        slot = TakeSlot(values);
        m_rows.push_back(slot);
    } else {
        SetValues(slot, values);
    }
    MarkForEnd(slot, first ? End::First : End::Last);
    row = first ? 0 : Count() - 1;
    return true;
}

void OutBarItemModel::MarkForEnd(std::uint32_t slot, End end) {
    m_slots[slot].end = end;
    m_slots[slot].endEntry = static_cast<std::uint32_t>(m_toEnds.size());
    m_toEnds.push_back(slot);
}

// The latest marked for the first row comes first; those marked for the last row follow the
// unmarked ones in the order marked, as moving each in its turn would have left them.
void OutBarItemModel::SettleEnds() const {
    if (m_toEnds.empty())
        return;
    const auto latestEntry = [&](std::size_t entry, End end) {
        const Slot& marked = m_slots[m_toEnds[entry]];
        return marked.end == end && marked.endEntry == entry;
    };
    std::vector<std::uint32_t> rows;
    rows.reserve(m_rows.size());
    for (std::size_t entry = m_toEnds.size(); entry-- > 0;) {
        if (latestEntry(entry, End::First))
            rows.push_back(m_toEnds[entry]);
    }
    for (const std::uint32_t slot : m_rows) {
        if (m_slots[slot].end == End::None)
            rows.push_back(slot);
    }
    for (std::size_t entry = 0; entry < m_toEnds.size(); ++entry) {
        if (latestEntry(entry, End::Last))
            rows.push_back(m_toEnds[entry]);
    }
    for (const std::uint32_t slot : m_toEnds)
        m_slots[slot].end = End::None;
    m_toEnds.clear();
    m_rows = std::move(rows);
    m_firstStaleRow = 0;
}

void OutBarItemModel::BeginBatch() {
    ++m_batchDepth;
}

void OutBarItemModel::EndBatch() {
    if (m_batchDepth == 0 || --m_batchDepth > 0 || !m_bResetOpen)
        return;
    SettleEnds();
    m_bResetOpen = false;
    endResetModel();
}

// Inside a batch the first change opens the batch's one reset; then no change is announced.
bool OutBarItemModel::QuietForBatch() {
    if (m_batchDepth == 0)
        return false;
    if (!m_bResetOpen) {
        beginResetModel();
        m_bResetOpen = true;
    }
    return true;
}

void OutBarItemModel::RemoveRow(int row) {
    const bool quiet = QuietForBatch();
    if (!quiet)
        beginRemoveRows(QModelIndex(), row, row);
    const std::uint32_t slot = m_rows[static_cast<std::size_t>(row)];
    m_rows.erase(m_rows.begin() + row);
    FreeSlot(slot);
    RowsChangedFrom(row);
    if (!quiet)
        endRemoveRows();
}

std::uint32_t OutBarItemModel::TakeSlot(const OutBarItemValues& values) {
    std::uint32_t slot = 0;
    if (m_freeSlots.empty()) {
        slot = static_cast<std::uint32_t>(m_slots.size());
        m_slots.emplace_back();
    } else {
        slot = m_freeSlots.back();
        m_freeSlots.pop_back();
    }
    Slot& taken = m_slots[slot];
    taken.item.userData = values.userData;
    SetValues(slot, values);
    taken.nextSameUserData = m_byUserData.value(values.userData, kNoSlot);
    m_byUserData.insert(values.userData, slot);
    return slot;
}

// The user data stays: it is what the slot is indexed by.
void OutBarItemModel::SetValues(std::uint32_t slot, const OutBarItemValues& values) {
    OutBarItem& item = m_slots[slot].item;
    // Taken before the old one is let go, so that an unchanged image is not dropped in between.
    const OutBarImageTable::Handle image = m_images.Acquire(values.image);
    m_images.Release(item.image);
    item.image = image;
    item.text = values.text;
    item.subText = values.subText;
    item.offline = values.offline;
}

void OutBarItemModel::FreeSlot(std::uint32_t slot) {
    Unindex(slot);
    m_images.Release(m_slots[slot].item.image);
    m_slots[slot].item = OutBarItem();
    m_freeSlots.push_back(slot);
}

void OutBarItemModel::Unindex(std::uint32_t slot) {
    Slot& gone = m_slots[slot];
    const int userData = gone.item.userData;
    const std::uint32_t head = m_byUserData.value(userData, kNoSlot);
    if (head == slot) {
        if (gone.nextSameUserData == kNoSlot)
            m_byUserData.remove(userData);
        else
            m_byUserData.insert(userData, gone.nextSameUserData);
    } else {
        std::uint32_t previous = head;
        while (m_slots[previous].nextSameUserData != slot)
            previous = m_slots[previous].nextSameUserData;
        m_slots[previous].nextSameUserData = gone.nextSameUserData;
    }
    gone.nextSameUserData = kNoSlot;
}

// Rows below m_firstStaleRow hold their own row number; a slot whose number is out of date is
// found by renumbering from there, only as far as the slot asked for.
int OutBarItemModel::RowOf(std::uint32_t slot) const {
    SettleEnds();
    const int cached = m_slots[slot].row;
    if (cached >= 0 && cached < Count() && m_rows[static_cast<std::size_t>(cached)] == slot)
        return cached;
    for (int row = m_firstStaleRow; row < Count(); ++row) {
        const std::uint32_t at = m_rows[static_cast<std::size_t>(row)];
        m_slots[at].row = row;
        m_firstStaleRow = row + 1;
        if (at == slot)
            return row;
    }
    return -1;
}

void OutBarItemModel::RowsChangedFrom(int row) const {
    m_firstStaleRow = std::min(m_firstStaleRow, row);
}
