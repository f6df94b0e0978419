#include "OutBarImageTable.h"

#include <QImage>

namespace {

QPixmap Greyed(const QPixmap& image) {
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

OutBarImageTable::Handle OutBarImageTable::Acquire(const QPixmap* image) {
    if (image == nullptr || image->isNull())
        return kNoImage;
    const qint64 key = image->cacheKey();
    Handle handle = m_byKey.value(key, kNoImage);
    if (handle == kNoImage) {
        if (m_freeHandles.empty()) {
            m_entries.emplace_back();
            handle = static_cast<Handle>(m_entries.size());
        } else {
            handle = m_freeHandles.back();
            m_freeHandles.pop_back();
        }
        m_entries[handle - 1] = Entry{*image, 0};
        m_byKey.insert(key, handle);
    }
    ++m_entries[handle - 1].users;
    return handle;
}

void OutBarImageTable::Release(Handle handle) {
    if (handle == kNoImage || handle > m_entries.size())
        return;
    Entry& entry = m_entries[handle - 1];
    if (entry.users <= 0 || --entry.users > 0)
        return;
    // The held copy shares the caller's pixel data, and with it the cache key.
    m_byKey.remove(entry.image.cacheKey());
    m_greyed.remove(handle);
    entry = Entry();
    m_freeHandles.push_back(handle);
}

QPixmap OutBarImageTable::Image(Handle handle, bool greyed) const {
    if (handle == kNoImage || handle > m_entries.size())
        return {};
    const QPixmap& image = m_entries[handle - 1].image;
    if (!greyed || image.isNull())
        return image;
    auto found = m_greyed.find(handle);
    if (found == m_greyed.end())
        found = m_greyed.insert(handle, Greyed(image));
    return found.value();
}
