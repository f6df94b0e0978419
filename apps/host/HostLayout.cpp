#include "HostLayout.h"

#include <QWidget>

#include <algorithm>

namespace {

// Between the host's frame and the friend list.
constexpr int kGap = 8;

} // namespace

std::optional<WindowTile> ParseWindowTile(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 2)
        return std::nullopt;
    bool indexOk = false;
    bool countOk = false;
    const WindowTile tile{parts[0].toInt(&indexOk), parts[1].toInt(&countOk)};
    if (!indexOk || !countOk || tile.count < 1 || tile.count > kMaxWindowTiles || tile.index < 0 ||
        tile.index >= tile.count)
        return std::nullopt;
    return tile;
}

QRect TileArea(const QRect& area, const WindowTile& tile) {
    const int width = area.width() / tile.count;
    return {area.left() + tile.index * width, area.top(), width, area.height()};
}

void PlaceSideBySide(QWidget& host, QWidget& friendList, const QRect& area) {
    // Decorations a window manager added to either window come on top of its own size.
    const int hostFrame = host.frameGeometry().width() - host.width();
    const int hostTitle = host.frameGeometry().height() - host.height();
    const int listWidth = friendList.frameGeometry().width();
    const QSize smallest = host.minimumSizeHint().expandedTo(host.minimumSize());
    const int width = std::max(smallest.width(), area.width() - listWidth - hostFrame - kGap);
    const int height =
        std::max(smallest.height(), std::min(host.height(), area.height() - hostTitle));
    host.resize(width, height);
    host.move(area.topLeft());
    // The host may have kept a larger size than asked for.
    friendList.move(area.left() + host.width() + hostFrame + kGap, area.top());
}
