#pragma once
// The skin library's image cache: every skin image is loaded once per process and shared.
// One instance lives for the whole process (Instance()); callers never own the pixmaps' data.

#include "skin/ColorRef.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>

class CSkinImageManager {
public:
    static CSkinImageManager& Instance();

    // Relative skin paths resolve against this folder; empty means the working directory.
    void SetResourceRoot(const QString& root);
    // The image as stored; a null pixmap when the file is missing or unreadable.
    QPixmap GetImage(const QString& file);
    // The image with every pixel of the transparent colour made fully transparent.
    QPixmap GetImage(const QString& file, COLORREF transparent);
    void Clear();
    int CachedCount() const { return static_cast<int>(m_images.size()); }

    // Pixels exactly of colour become transparent; the rest keep their colour and alpha.
    static QImage KeyOut(const QImage& image, COLORREF color);
    // Windows-style paths ("data\Friend\x.png") become paths of this system.
    static QString NormalisePath(const QString& file);

private:
    CSkinImageManager() = default;
    QPixmap Load(const QString& file, bool keyed, COLORREF transparent);

    QString m_root;
    QHash<QString, QPixmap> m_images;
};
