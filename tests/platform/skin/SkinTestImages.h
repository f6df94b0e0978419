#pragma once
// Image files made on the spot for the skin tests.

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>

// Writes a strip of equal slices, one flat colour each, left to right; returns its path.
inline QString WriteStrip(const QTemporaryDir& dir, const QString& name,
                          std::initializer_list<QColor> colors, int sliceWidth, int height) {
    QImage strip(sliceWidth * static_cast<int>(colors.size()), height, QImage::Format_RGB32);
    int x = 0;
    for (const QColor& color : colors) {
        for (int column = x; column < x + sliceWidth; ++column)
            for (int row = 0; row < height; ++row)
                strip.setPixelColor(column, row, color);
        x += sliceWidth;
    }
    const QString path = dir.filePath(name);
    strip.save(path);
    return path;
}
