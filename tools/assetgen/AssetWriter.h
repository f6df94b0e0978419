#pragma once
// Writes the generated runtime files under one root folder and remembers what it wrote.

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class AssetWriter {
public:
    explicit AssetWriter(const QString& root);

    // A skin image; pixels left fully transparent become the keyed magenta.
    bool WritePng(const QString& relativePath, const QImage& image);
    // A picture shown as it is, transparency kept.
    bool WriteImage(const QString& relativePath, const QImage& image);
    bool WriteBmp(const QString& relativePath, const QImage& image);
    // 16-bit mono PCM samples at sampleRate.
    bool WriteWav(const QString& relativePath, const std::vector<int16_t>& samples, int sampleRate);

    const QStringList& Written() const { return m_written; }
    const QStringList& Failed() const { return m_failed; }

    // Fully transparent pixels become opaque magenta; partly transparent ones keep their alpha.
    static QImage KeyedForSkin(const QImage& image);

private:
    QString Prepare(const QString& relativePath);
    void Record(const QString& relativePath, bool written);

    QString m_root;
    QStringList m_written;
    QStringList m_failed;
};
