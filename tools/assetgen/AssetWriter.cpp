#include "AssetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void PutLE(QByteArray& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

AssetWriter::AssetWriter(const QString& root) : m_root(root) {}

QString AssetWriter::Prepare(const QString& relativePath) {
    const QString path = QDir(m_root).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

void AssetWriter::Record(const QString& relativePath, bool written) {
    (written ? m_written : m_failed).append(relativePath);
}

QImage AssetWriter::KeyedForSkin(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                line[x] = magenta;
        }
    }
    return keyed;
}

bool AssetWriter::WritePng(const QString& relativePath, const QImage& image) {
    const bool written = KeyedForSkin(image).save(Prepare(relativePath), "PNG");
    Record(relativePath, written);
    return written;
}

bool AssetWriter::WriteImage(const QString& relativePath, const QImage& image) {
    const bool written = image.save(Prepare(relativePath), "PNG");
    Record(relativePath, written);
    return written;
}

bool AssetWriter::WriteBmp(const QString& relativePath, const QImage& image) {
    const bool written =
        image.convertToFormat(QImage::Format_RGB888).save(Prepare(relativePath), "BMP");
    Record(relativePath, written);
    return written;
}

bool AssetWriter::WriteWav(const QString& relativePath, const std::vector<int16_t>& samples,
                           int sampleRate) {
    const auto dataSize = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    QByteArray bytes("RIFF");
    PutLE(bytes, 36 + dataSize, 4);
    bytes.append("WAVEfmt ");
    PutLE(bytes, 16, 4);                                    // fmt chunk size
    PutLE(bytes, 1, 2);                                     // PCM
    PutLE(bytes, 1, 2);                                     // mono
    PutLE(bytes, static_cast<uint32_t>(sampleRate), 4);     // samples per second
    PutLE(bytes, static_cast<uint32_t>(sampleRate) * 2, 4); // bytes per second
    PutLE(bytes, 2, 2);                                     // block align
    PutLE(bytes, 16, 2);                                    // bits per sample
    bytes.append("data");
    PutLE(bytes, dataSize, 4);
    for (const int16_t sample : samples)
        PutLE(bytes, static_cast<uint16_t>(sample), 2);

    QFile file(Prepare(relativePath));
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    Record(relativePath, written);
    return written;
}
