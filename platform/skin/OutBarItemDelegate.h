#pragma once
// Paints one row of the out-bar list: the image, the first text, the second text in grey, and
// offline items greyed. Owned by the out-bar control.

#include <QStyledItemDelegate>

class OutBarItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 28;
    static constexpr int kImageSize = 22;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    static void PaintPlaceholder(QPainter* painter, const QRect& area, const QString& text,
                                 bool offline);
};
