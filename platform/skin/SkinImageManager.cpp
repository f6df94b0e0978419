#include "SkinImageManager.h"

#include <QDir>

CSkinImageManager& CSkinImageManager::Instance() {
    static CSkinImageManager instance;
    return instance;
}

void CSkinImageManager::SetResourceRoot(const QString& root) {
    m_root = root;
    m_images.clear();
}

QPixmap CSkinImageManager::GetImage(const QString& file) {
    return Load(file, false, 0);
}

QPixmap CSkinImageManager::GetImage(const QString& file, COLORREF transparent) {
    return Load(file, true, transparent);
}

void CSkinImageManager::Clear() {
    m_images.clear();
}

QString CSkinImageManager::NormalisePath(const QString& file) {
    QString path = file;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QImage CSkinImageManager::KeyOut(const QImage& image, COLORREF color) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorFromRef(color).rgb() & 0x00FFFFFF;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = 0;
        }
    }
    return keyed;
}

QPixmap CSkinImageManager::Load(const QString& file, bool keyed, COLORREF transparent) {
    if (file.isEmpty())
        return {};
    const QString path = NormalisePath(file);
    const QString key = keyed ? path + QStringLiteral("#") + QString::number(transparent) : path;
    const auto cached = m_images.constFind(key);
    if (cached != m_images.constEnd())
        return cached.value();

    const QString fullPath =
        QDir::isAbsolutePath(path) || m_root.isEmpty() ? path : QDir(m_root).filePath(path);
    QImage image(fullPath);
    // A missing file is not remembered: the assets may appear later in the session.
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(keyed ? KeyOut(image, transparent) : image);
    m_images.insert(key, pixmap);
    return pixmap;
}
