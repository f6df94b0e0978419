#pragma once
// Where the demo host puts its window and the friend list, so that several hosts can share one
// screen without hiding each other: the screen's free area split into equal columns, one host in
// each, its friend list beside it.

#include <QRect>
#include <QString>

#include <optional>

class QWidget;

struct WindowTile {
    int index = 0;
    int count = 1;
};

// More columns than this would leave no room for a window.
constexpr int kMaxWindowTiles = 8;

// "INDEX/COUNT" with INDEX counted from 0; nothing for anything else.
std::optional<WindowTile> ParseWindowTile(const QString& text);
// The column of the area that the tile names.
QRect TileArea(const QRect& area, const WindowTile& tile);
// Puts host at the area's top left, as wide as leaves room for the friend list at its right (but
// never narrower than it can be shown), and the friend list beside it, top edges level.
void PlaceSideBySide(QWidget& host, QWidget& friendList, const QRect& area);
