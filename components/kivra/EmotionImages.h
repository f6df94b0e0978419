#pragma once
// The emoticon pictures as files of the working directory (data/Emotion/NNN.png), each read on
// first use and kept by its owner; a missing or unreadable file gives a null image, asked for once.

#include <QImage>
#include <vector>

class EmotionImages {
public:
    EmotionImages();

    // Null when the file is missing or unreadable.
    const QImage& Get(int index);

private:
    std::vector<QImage> m_images;
    std::vector<bool> m_read;
};
