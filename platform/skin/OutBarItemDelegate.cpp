#include "OutBarItemDelegate.h"

#include "skin/OutBarItemModel.h"

#include <QPainter>
#include <QPixmap>

namespace {

const QColor kSelectedFill(0xCF, 0xE6, 0xFB);
const QColor kSelectedBorder(0x8D, 0xC0, 0xEE);
const QColor kHoverFill(0xE8, 0xF3, 0xFD);
const QColor kOnlineText(0x1B, 0x2F, 0x45);
const QColor kOfflineText(0x8E, 0x97, 0xA1);
const QColor kSubText(0x7A, 0x8B, 0x9C);

} // namespace

QSize OutBarItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kRowHeight);
}

void OutBarItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect;
    if (option.state & QStyle::State_Selected) {
        painter->setPen(kSelectedBorder);
        painter->setBrush(kSelectedFill);
        painter->drawRoundedRect(QRectF(row).adjusted(1.5, 0.5, -1.5, -0.5), 3, 3);
    } else if (option.state & QStyle::State_MouseOver) {
        painter->fillRect(row.adjusted(1, 0, -1, 0), kHoverFill);
    }

    const bool offline = index.data(OutBarItemModel::OfflineRole).toBool();
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect imageRect(row.left() + 5, row.top() + (row.height() - kImageSize) / 2, kImageSize,
                          kImageSize);
    const QPixmap image = index.data(Qt::DecorationRole).value<QPixmap>();
    if (image.isNull())
        PaintPlaceholder(painter, imageRect, text, offline);
    else
        painter->drawPixmap(imageRect, image);

    QFont font = option.font;
    font.setPixelSize(12);
    painter->setFont(font);
    const QRect textRect(imageRect.right() + 7, row.top(), row.right() - imageRect.right() - 10,
                         row.height());
    const QString subText =
        QStringLiteral(" (%1)").arg(index.data(OutBarItemModel::SubTextRole).toString());
    const QFontMetrics metrics(font);
    const QString name = metrics.elidedText(text, Qt::ElideRight, textRect.width());
    painter->setPen(offline ? kOfflineText : kOnlineText);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, name);
    const int nameWidth = metrics.horizontalAdvance(name);
    if (nameWidth < textRect.width()) {
        painter->setPen(kSubText);
        painter->drawText(
            textRect.adjusted(nameWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(subText, Qt::ElideRight, textRect.width() - nameWidth));
    }
    painter->restore();
}

// Without a portrait the item shows a round badge with the first letter of its name.
void OutBarItemDelegate::PaintPlaceholder(QPainter* painter, const QRect& area, const QString& text,
                                          bool offline) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(offline ? QColor(0xC4, 0xCB, 0xD2) : QColor(0x5C, 0xA6, 0xE8));
    painter->drawEllipse(area);
    QFont font = painter->font();
    font.setPixelSize(11);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(area, Qt::AlignCenter, text.left(1).toUpper());
}
