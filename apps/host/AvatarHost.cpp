#include "AvatarHost.h"

#include "text/StringUtility.h"

#include <QCryptographicHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Colours come in bands of 15 degrees of hue: 24 a name can get.
constexpr int kHueBand = 15;

int NameHue(const QString& name) {
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Md5);
    const int hue =
        (static_cast<unsigned char>(hash[0]) << 8 | static_cast<unsigned char>(hash[1])) % 360;
    return hue / kHueBand * kHueBand;
}

QString Initial(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("?") : trimmed.left(1).toUpper();
}

void DrawGenderMark(QPainter& painter, int gender, int size) {
    const qreal mark = size * 0.3;
    const QRectF badge(size - mark - 1, size - mark - 1, mark, mark);
    painter.setPen(QPen(Qt::white, qMax<qreal>(1.0, size / 32.0)));
    painter.setBrush(gender == 1 ? QColor(0x3d, 0x8b, 0xf2) : QColor(0xf2, 0x5f, 0x9a));
    painter.drawEllipse(badge);
}

} // namespace

QPixmap AvatarHost::MakeAvatar(const QString& name, int gender, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = QColor::fromHsl(NameHue(name), 150, 120);
    QLinearGradient gradient(0, 0, 0, size);
    gradient.setColorAt(0, base.lighter(130));
    gradient.setColorAt(1, base.darker(115));
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
    painter.fillPath(frame, gradient);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(size / 2);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, size, size * 0.95), Qt::AlignCenter, Initial(name));
    DrawGenderMark(painter, gender, size);
    return pixmap;
}

const QPixmap& AvatarHost::Cached(ImageCache& cache, const std::string& userName, int gender,
                                  int size) {
    const QString name = StringUtility::AnsiToQString(userName);
    const QString look =
        QStringLiteral("%1/%2/%3").arg(Initial(name)).arg(NameHue(name)).arg(gender);
    auto found = cache.find(look);
    if (found == cache.end())
        found = cache.emplace(look, MakeAvatar(name, gender, size)).first;
    return found->second;
}

const QPixmap* AvatarHost::GetUserFaceImage(std::string userName, int, int, int gender) {
    return &Cached(m_listImages, userName, gender, kListSize);
}

void AvatarHost::DrawUserFace(QPainter* dc, int x, int y, std::string userName, int, int,
                              int gender) {
    if (dc != nullptr)
        dc->drawPixmap(x, y, Cached(m_portraits, userName, gender, kPortraitSize));
}
