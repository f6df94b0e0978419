#include "OutBarItemModel.h"

#include <QImage>

namespace {

// Offline items show their image without colour, made once when the item is added.
QPixmap Greyed(const QPixmap& image) {
    if (image.isNull())
        return image;
    QImage grey = image.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = qGray(line[x]);
            line[x] = qRgba(level, level, level, qAlpha(line[x]) * 3 / 4);
        }
    }
    return QPixmap::fromImage(grey);
}

} // namespace

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
        return item->image;
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
    return row >= 0 && row < Count() ? &m_items[static_cast<size_t>(row)] : nullptr;
}

int OutBarItemModel::Insert(int row, OutBarItem item) {
    if (row < 0 || row > Count())
        row = Count();
    if (item.offline)
        item.image = Greyed(item.image);
    beginInsertRows(QModelIndex(), row, row);
    ++m_userDataCount[item.userData];
    m_items.insert(m_items.begin() + row, std::move(item));
    endInsertRows();
    return row;
}

int OutBarItemModel::RemoveByUserData(int userData) {
    int removed = 0;
    for (int row = FindByUserData(userData); row >= 0; row = FindByUserData(userData)) {
        beginRemoveRows(QModelIndex(), row, row);
        m_items.erase(m_items.begin() + row);
        Forget(userData);
        endRemoveRows();
        ++removed;
    }
    return removed;
}

void OutBarItemModel::RemoveAll() {
    beginResetModel();
    m_items.clear();
    m_userDataCount.clear();
    endResetModel();
}

int OutBarItemModel::FindByUserData(int userData) const {
    if (CountOfUserData(userData) == 0)
        return -1;
    for (int row = 0; row < Count(); ++row) {
        if (m_items[static_cast<size_t>(row)].userData == userData)
            return row;
    }
    return -1;
}

int OutBarItemModel::CountOfUserData(int userData) const {
    const auto found = m_userDataCount.find(userData);
    return found != m_userDataCount.end() ? found->second : 0;
}

void OutBarItemModel::Forget(int userData) {
    const auto found = m_userDataCount.find(userData);
    if (found != m_userDataCount.end() && --found->second <= 0)
        m_userDataCount.erase(found);
}
