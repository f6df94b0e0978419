#include "EmotionImages.h"

#include "EmotionTable.h"

EmotionImages::EmotionImages()
    : m_images(static_cast<std::size_t>(EmotionTable::Count())),
      m_read(static_cast<std::size_t>(EmotionTable::Count()), false) {}

const QImage& EmotionImages::Get(int index) {
    const auto slot = static_cast<std::size_t>(index);
    if (!m_read[slot]) {
        m_read[slot] = true;
        m_images[slot].load(EmotionTable::ImagePath(index), "PNG");
    }
    return m_images[slot];
}
