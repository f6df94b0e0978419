#include "FriendPresenceLog.h"

#include "WindowFinder.h"

#include <QAbstractItemView>
#include <QTextStream>

FriendPresenceLog::FriendPresenceLog(QAbstractItemView& view, QString label, QTextStream& out)
    : QObject(&view), m_pView(&view), m_Label(std::move(label)), m_Out(out) {
    const QAbstractItemModel* model = view.model();
    if (model == nullptr)
        return;
    connect(model, &QAbstractItemModel::modelReset, this, &FriendPresenceLog::Scan);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FriendPresenceLog::Scan);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FriendPresenceLog::Scan);
    connect(model, &QAbstractItemModel::dataChanged, this, &FriendPresenceLog::Scan);
    Scan();
}

void FriendPresenceLog::Scan() {
    const QAbstractItemModel* model = m_pView ? m_pView->model() : nullptr;
    if (model == nullptr)
        return;
    const QModelIndex root = m_pView->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex item = model->index(row, 0, root);
        const QString name = item.data(Qt::DisplayRole).toString();
        const bool online = WindowFinder::ShowsOnline(item);
        const auto known = m_Online.constFind(name);
        if (name.isEmpty() || (known != m_Online.cend() && *known == online))
            continue;
        m_Online.insert(name, online);
        m_Out << m_Label << ": sees " << name
              << (online ? QStringLiteral(" online") : QStringLiteral(" offline")) << Qt::endl;
    }
}
