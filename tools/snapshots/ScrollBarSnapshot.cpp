// Renders text views with the skinned scroll bars to one PNG for a look at them: a rich view
// scrolled to the middle of a long text, the same with its thumb held, and a plain view that
// scrolls both ways (both bars and the size box), left to right and right to left.
//   scrollbar-snapshot --runtime <build>/runtime --out <file.png>

#include "skin/SkinEdit.h"
#include "skin/SkinImageManager.h"
#include "skin/SkinRichEdit.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/controls/SkinScrollPart.h"
#include "ui/controls/SkinScrollState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>
#include <memory>
#include <vector>

using namespace pellix;

namespace {

QString ChatText(int lines) {
    QString text;
    for (int line = 1; line <= lines; ++line)
        text += QStringLiteral("小明 (%1): 今天晚上一起打牌吗？我们三缺一。\n").arg(line);
    return text;
}

std::unique_ptr<CSkinRichEdit> RichView(const QPixmap& bitmap) {
    auto view = std::make_unique<CSkinRichEdit>();
    view->resize(350, 152);
    view->setPlainText(ChatText(60));
    view->show();
    SkinScrollInstall(view.get(), bitmap);
    QScrollBar* slider = view->verticalScrollBar();
    slider->setValue((slider->minimum() + slider->maximum()) / 2);
    return view;
}

void HoldThumb(QAbstractScrollArea& view) {
    auto* bar = view.findChild<SkinScrollPart*>(QStringLiteral("SkinScrollVertical"));
    const QPoint on(8, SkinScrollFind(&view)->Layout(Qt::Vertical).thumbStart + 3);
    QMouseEvent press(QEvent::MouseButtonPress, on, bar->mapToGlobal(on), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
}

std::unique_ptr<CSkinEdit> BothWays(const QPixmap& bitmap, Qt::LayoutDirection direction) {
    auto view = std::make_unique<CSkinEdit>();
    view->SetMultiLine(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setLayoutDirection(direction);
    view->resize(350, 107);
    // Lines longer than the view, so that it scrolls sideways too.
    const QString tail = QStringLiteral("  再来一局！明天晚上八点老地方见，不见不散。\n");
    view->setPlainText(ChatText(30).replace(QStringLiteral("\n"), tail));
    view->show();
    SkinScrollInstall(view.get(), bitmap);
    return view;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("runtime"), QStringLiteral("runtime folder"),
                      QStringLiteral("dir"), QStringLiteral(".")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("PNG file"), QStringLiteral("file"),
                      QStringLiteral("scrollbar.png")});
    parser.process(app);

    CSkinImageManager::Instance().SetResourceRoot(parser.value(QStringLiteral("runtime")));
    const QPixmap bitmap = SkinScrollLoadBitmap();
    if (bitmap.isNull()) {
        std::fprintf(stderr, "no scroll bar bitmap under %s\n",
                     qPrintable(parser.value(QStringLiteral("runtime"))));
        return 1;
    }
    auto rich = RichView(bitmap);
    auto held = RichView(bitmap);
    HoldThumb(*held);
    auto leftToRight = BothWays(bitmap, Qt::LeftToRight);
    auto rightToLeft = BothWays(bitmap, Qt::RightToLeft);
    // The bars shown as needed settle once the views' ranges have.
    QApplication::processEvents();

    std::vector<QWidget*> views = {rich.get(), held.get(), leftToRight.get(), rightToLeft.get()};
    int height = 10;
    for (QWidget* view : views)
        height += view->height() + 10;
    QImage sheet(370, height, QImage::Format_RGB32);
    sheet.fill(QColor(0xE8, 0xF2, 0xFC));
    QPainter painter(&sheet);
    int y = 10;
    for (QWidget* view : views) {
        painter.drawPixmap(10, y, view->grab());
        y += view->height() + 10;
    }
    painter.end();
    const QString out = parser.value(QStringLiteral("out"));
    if (!sheet.save(out)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
