#include "ButtonImages.h"

#include "AssetWriter.h"
#include "Glyphs.h"
#include "SkinPalette.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

enum State { Normal, Hover, Pressed, Focus, Disabled, StateCount };

using Glyph = std::function<void(QPainter&, const QRectF&, const QColor&)>;
using SlicePainter = std::function<void(QPainter&, const QRectF&, State)>;

// The tool bar behind the chat window's format, emoticon and history buttons.
constexpr int kToolBarHeight = 24;
const QColor kToolBarTop(0xF4, 0xF9, 0xFE);
const QColor kToolBarBottom(0xD9, 0xE9, 0xF8);
const QColor kToolBarLine(0xB4, 0xD1, 0xEE);

QImage Strip(QSize slice, const SlicePainter& paintSlice) {
    QImage strip(slice.width() * StateCount, slice.height(), QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int state = 0; state < StateCount; ++state) {
        painter.save();
        const QRectF area(state * slice.width(), 0, slice.width(), slice.height());
        painter.setClipRect(area);
        paintSlice(painter, area, static_cast<State>(state));
        painter.restore();
    }
    return strip;
}

QRectF GlyphBox(const QRectF& area, qreal size) {
    return QRectF(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
}

// A button on the title band repeats the band behind it, so it needs no transparency.
SlicePainter TitleButton(int topOnWindow, Glyph glyph, bool closing) {
    return [=](QPainter& painter, const QRectF& area, State state) {
        painter.fillRect(area, SkinPalette::TitleGradient(-topOnWindow));
        const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
        if (state == Hover || state == Pressed) {
            const QColor fill =
                closing ? (state == Hover ? SkinPalette::kCloseHover : SkinPalette::kCloseDown)
                        : (state == Hover ? QColor(255, 255, 255, 70) : QColor(0, 40, 90, 70));
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill);
            painter.drawRoundedRect(face, 3, 3);
        } else if (state == Focus) {
            painter.setPen(QColor(255, 255, 255, 150));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(face, 3, 3);
        }
        const QColor color =
            state == Disabled ? QColor(255, 255, 255, 90) : SkinPalette::kGlyphLight;
        const qreal size = std::min(area.width(), area.height());
        glyph(
            painter,
            GlyphBox(area, size).translated(state == Pressed ? 0.5 : 0, state == Pressed ? 0.5 : 0),
            color);
    };
}

void PaintRaisedFace(QPainter& painter, const QRectF& area, State state) {
    static const QColor tops[StateCount] = {{0xFF, 0xFF, 0xFF},
                                            {0xFF, 0xFF, 0xFF},
                                            {0xC4, 0xDD, 0xF5},
                                            {0xFF, 0xFF, 0xFF},
                                            {0xF2, 0xF3, 0xF5}};
    static const QColor bottoms[StateCount] = {{0xDA, 0xEA, 0xF9},
                                               {0xC7, 0xE1, 0xFA},
                                               {0xE3, 0xEF, 0xFB},
                                               {0xDA, 0xEA, 0xF9},
                                               {0xE1, 0xE4, 0xE8}};
    static const QColor borders[StateCount] = {{0x7F, 0xAD, 0xDC},
                                               {0x4E, 0x93, 0xD6},
                                               {0x3C, 0x7C, 0xC0},
                                               {0x3F, 0x8B, 0xD8},
                                               {0xB9, 0xC0, 0xC7}};
    const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(borders[state]);
    painter.setBrush(
        SkinPalette::VerticalGradient(face.top(), face.height(), tops[state], bottoms[state]));
    painter.drawRoundedRect(face, 3, 3);
    if (state == Focus) {
        painter.setPen(QColor(0x9C, 0xCB, 0xF5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(1, 1, -1, -1), 2, 2);
    }
}

SlicePainter RaisedButton(Glyph glyph, qreal glyphSize) {
    return [=](QPainter& painter, const QRectF& area, State state) {
        PaintRaisedFace(painter, area, state);
        if (!glyph)
            return;
        const QColor color =
            state == Disabled ? SkinPalette::kDisabledGlyph : SkinPalette::kGlyphDark;
        const qreal size = std::min({glyphSize, area.width(), area.height() - 2});
        glyph(painter, GlyphBox(area, size).translated(state == Pressed ? 0.5 : 0, 0), color);
    };
}

QLinearGradient ToolBarGradient(qreal top) {
    return SkinPalette::VerticalGradient(top, kToolBarHeight, kToolBarTop, kToolBarBottom);
}

// Flat on the tool bar until the mouse comes; the glyph keeps its colours.
SlicePainter ToolButton(int topOnBar, Glyph glyph) {
    return [=](QPainter& painter, const QRectF& area, State state) {
        painter.fillRect(area, ToolBarGradient(-topOnBar));
        if (state == Hover || state == Pressed || state == Focus)
            PaintRaisedFace(painter, area, state);
        const QColor color =
            state == Disabled ? SkinPalette::kDisabledGlyph : SkinPalette::kGlyphDark;
        const qreal size = std::min(area.height() - 3, 16.0);
        glyph(painter, GlyphBox(area, size).translated(state == Pressed ? 0.5 : 0, 0), color);
    };
}

SlicePainter Tab() {
    return [](QPainter& painter, const QRectF& area, State state) {
        const bool open = state == Pressed;
        const QColor top = open ? QColor(0xD9, 0xEC, 0xFD) : QColor(0xFA, 0xFC, 0xFF);
        const QColor bottom = open             ? QColor(0xB9, 0xD9, 0xF7)
                              : state == Hover ? QColor(0xCF, 0xE5, 0xFA)
                                               : QColor(0xE2, 0xEE, 0xFB);
        painter.fillRect(area,
                         SkinPalette::VerticalGradient(area.top(), area.height(), top, bottom));
        painter.setPen(QColor(0xA9, 0xCB, 0xEE));
        painter.drawLine(QPointF(area.left(), area.bottom() - 0.5),
                         QPointF(area.right(), area.bottom() - 0.5));
        painter.setPen(QColor(255, 255, 255, 200));
        painter.drawLine(QPointF(area.left(), area.top() + 0.5),
                         QPointF(area.right(), area.top() + 0.5));
        // A chevron at the right: down for the open panel, right for the others.
        const QRectF mark(area.right() - 16, area.center().y() - 5, 10, 10);
        QTransform turn;
        turn.translate(mark.center().x(), mark.center().y());
        turn.rotate(open ? 0 : -90);
        turn.translate(-mark.center().x(), -mark.center().y());
        painter.setTransform(turn, true);
        Glyphs::ArrowDown(painter, mark, QColor(0x3F, 0x7F, 0xC4));
    };
}

QImage ToolBar() {
    QImage bar(350, kToolBarHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&bar);
    painter.fillRect(bar.rect(), ToolBarGradient(0));
    painter.setPen(kToolBarLine);
    painter.drawLine(0, 0, bar.width() - 1, 0);
    painter.drawLine(0, bar.height() - 1, bar.width() - 1, bar.height() - 1);
    return bar;
}

Glyph PageGlyph(bool forward, bool barred) {
    return [=](QPainter& painter, const QRectF& box, const QColor& color) {
        Glyphs::PageArrow(painter, box, color, forward, barred);
    };
}

} // namespace

namespace ButtonImages {

void Write(AssetWriter& writer) {
    const auto friendFile = [](const char* name) {
        return QStringLiteral("data/Friend/") + QString::fromLatin1(name) + QStringLiteral(".png");
    };
    // Title band buttons; the number is the button's top on its window.
    writer.WritePng(friendFile("main_btn_close"),
                    Strip({15, 15}, TitleButton(6, Glyphs::Close, true)));
    writer.WritePng(friendFile("main_btn_option"),
                    Strip({15, 15}, TitleButton(6, Glyphs::Options, false)));
    writer.WritePng(friendFile("chat_btn_sysMin"),
                    Strip({17, 17}, TitleButton(5, Glyphs::Minimise, false)));
    writer.WritePng(friendFile("chat_btn_sysMax"),
                    Strip({17, 17}, TitleButton(5, Glyphs::Maximise, false)));
    writer.WritePng(friendFile("chat_btn_sysClose"),
                    Strip({17, 17}, TitleButton(5, Glyphs::Close, true)));
    writer.WritePng(friendFile("btn_sysClose"),
                    Strip({15, 15}, TitleButton(6, Glyphs::Close, true)));
    writer.WritePng(friendFile("option_btn_sysClose"),
                    Strip({15, 15}, TitleButton(5, Glyphs::Close, true)));
    writer.WritePng(QStringLiteral("data/Common/button/btn_sys_close.png"),
                    Strip({15, 15}, TitleButton(6, Glyphs::Close, true)));

    // Buttons on the window body; captions are drawn over btn_back at run time.
    writer.WritePng(friendFile("btn_back"), Strip({49, 21}, RaisedButton(nullptr, 0)));
    writer.WritePng(friendFile("chat_btn_shortcut"),
                    Strip({7, 20}, RaisedButton(Glyphs::ArrowDown, 7)));
    writer.WritePng(friendFile("history_btn_export"),
                    Strip({42, 17}, RaisedButton(Glyphs::Export, 13)));
    writer.WritePng(friendFile("history_btn_top_page"),
                    Strip({42, 17}, RaisedButton(PageGlyph(false, true), 12)));
    writer.WritePng(friendFile("history_btn_pre_page"),
                    Strip({42, 17}, RaisedButton(PageGlyph(false, false), 12)));
    writer.WritePng(friendFile("history_btn_next_page"),
                    Strip({42, 17}, RaisedButton(PageGlyph(true, false), 12)));
    writer.WritePng(friendFile("history_btn_end_page"),
                    Strip({42, 17}, RaisedButton(PageGlyph(true, true), 12)));
    writer.WritePng(friendFile("addFriend_btn_view_userinfo"),
                    Strip({53, 18}, RaisedButton(Glyphs::UserCard, 15)));

    // The chat tool bar and its buttons (the format and emoticon buttons sit one pixel below
    // the bar's top, the history button two).
    writer.WritePng(friendFile("chat_bk_button_bar"), ToolBar());
    writer.WritePng(friendFile("chat_btn_font"),
                    Strip({49, 19}, ToolButton(1, Glyphs::FontAndColour)));
    writer.WritePng(friendFile("chat_btn_expression"),
                    Strip({49, 19}, ToolButton(1, Glyphs::Smiley)));
    writer.WritePng(friendFile("chat_btn_history"),
                    Strip({73, 19}, ToolButton(2, Glyphs::History)));

    // The friend list's panel headers: normal, hover and open (the first three slices).
    QImage tabs = Strip({148, 24}, Tab());
    writer.WritePng(friendFile("main_btn_tab"), tabs.copy(0, 0, 148 * 3, 24));
}

} // namespace ButtonImages
