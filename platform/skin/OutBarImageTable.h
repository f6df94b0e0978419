#pragma once
// The face images of one out-bar control's items. Each distinct image (by the pixmap's cache key)
// is held once, as an implicitly shared copy of the caller's pixmap, and counted by the items that
// show it; an item holds a 4-byte handle, so moving or copying items never touches pixel data.
// The greyed form an offline item shows is made once per image, when first asked for. Owned by
// CSkinOutBarCtrlEx and shared by its panels' models.

#include <QHash>
#include <QPixmap>
#include <cstdint>
#include <vector>

class OutBarImageTable {
public:
    using Handle = std::uint32_t;
    static constexpr Handle kNoImage = 0;

    // A handle to image, counted once more; kNoImage for a null pointer or a null pixmap.
    Handle Acquire(const QPixmap* image);
    // Counts one user less; the image is dropped with its last user.
    void Release(Handle handle);
    // The image as shown: greyed for an offline item. Null for kNoImage.
    QPixmap Image(Handle handle, bool greyed) const;
    // Distinct images held.
    int Count() const { return static_cast<int>(m_byKey.size()); }

private:
    struct Entry {
        QPixmap image;
        int users = 0;
    };

    std::vector<Entry> m_entries; // handle - 1
    std::vector<Handle> m_freeHandles;
    QHash<qint64, Handle> m_byKey;
    // Made only for the images of offline items that have been painted.
    mutable QHash<Handle, QPixmap> m_greyed;
};
