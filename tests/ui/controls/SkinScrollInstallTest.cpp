// Installing and removing the skin: the view is given back as it was, and a view that cannot be
// skinned keeps its own working scroll bars.

#include "SkinScrollTestSupport.h"

#include "skin/SkinImageManager.h"
#include "ui/controls/ViewportMargins.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace pellix {

namespace {

struct ViewLook {
    QRect viewport;
    QMargins margins;
    Qt::ScrollBarPolicy vertical;
    Qt::ScrollBarPolicy horizontal;
    bool verticalShown;
    QObjectList children;
    int value;

    explicit ViewLook(QAbstractScrollArea& view)
        : viewport(view.viewport()->geometry()), margins(ViewportMargins::Get(view)),
          vertical(view.verticalScrollBarPolicy()), horizontal(view.horizontalScrollBarPolicy()),
          verticalShown(view.verticalScrollBar()->isVisible()), children(view.children()),
          value(view.verticalScrollBar()->value()) {}
};

void ExpectSameLook(const ViewLook& a, const ViewLook& b) {
    EXPECT_EQ(a.viewport, b.viewport);
    EXPECT_EQ(a.margins, b.margins);
    EXPECT_EQ(a.vertical, b.vertical);
    EXPECT_EQ(a.horizontal, b.horizontal);
    EXPECT_EQ(a.verticalShown, b.verticalShown);
    EXPECT_EQ(a.children, b.children);
    EXPECT_EQ(a.value, b.value);
}

TEST(SkinScrollInstallTest, RemoveGivesTheViewBackAsItWas) {
    QTextEdit view;
    view.resize(220, 160);
    view.setPlainText(LongText(100));
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.show();
    view.verticalScrollBar()->setValue(300);
    const ViewLook before(view);

    ASSERT_TRUE(SkinScrollInstall(&view, ColouredTiles()));
    EXPECT_NE(SkinScrollFind(&view), nullptr);
    EXPECT_NE(view.viewport()->geometry(), before.viewport);
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
    // Once is enough: a second skin is refused and changes nothing.
    EXPECT_FALSE(SkinScrollInstall(&view, ColouredTiles()));
    EXPECT_EQ(view.findChildren<SkinScrollState*>().size(), 1);

    EXPECT_TRUE(SkinScrollRemove(&view));
    ExpectSameLook(ViewLook(view), before);
    EXPECT_FALSE(view.property(kSkinScrollProperty).isValid());
    EXPECT_EQ(SkinScrollFind(&view), nullptr);
    EXPECT_FALSE(SkinScrollRemove(&view));

    // And it can be skinned again.
    EXPECT_TRUE(SkinScrollInstall(&view, ColouredTiles()));
    EXPECT_TRUE(VerticalBar(view)->isVisible());
}

TEST(SkinScrollInstallTest, WithoutAUsableBitmapTheViewKeepsItsOwnBars) {
    QPlainTextEdit view;
    view.resize(200, 150);
    view.setPlainText(LongText(100));
    view.show();
    const ViewLook before(view);
    ASSERT_TRUE(before.verticalShown);

    QTemporaryDir empty;
    CSkinImageManager::Instance().SetResourceRoot(empty.path());
    const QPixmap missing = SkinScrollLoadBitmap();
    CSkinImageManager::Instance().SetResourceRoot(QString());
    EXPECT_TRUE(missing.isNull());
    EXPECT_FALSE(SkinScrollInstall(&view, missing));
    // Too small to hold every tile.
    EXPECT_FALSE(SkinScrollInstall(&view, ColouredTiles().copy(0, 0, 240, 40)));
    EXPECT_FALSE(SkinScrollInstall(&view, ColouredTiles().copy(0, 0, 200, 48)));
    ExpectSameLook(ViewLook(view), before);
    EXPECT_EQ(SkinScrollFind(&view), nullptr);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(view.verticalScrollBar()->value(), 0);

    // Only scroll areas take a skin.
    QLabel label;
    EXPECT_FALSE(SkinScrollInstall(&label, ColouredTiles()));
    EXPECT_FALSE(SkinScrollInstall(nullptr, ColouredTiles()));
    EXPECT_FALSE(SkinScrollRemove(&label));
    EXPECT_FALSE(SkinScrollRemove(nullptr));
}

TEST(SkinScrollInstallTest, SkinsAViewBeforeItIsShown) {
    QTextEdit view;
    view.setStyleSheet(QStringLiteral("QTextEdit { border: 3px solid #7fa9d6; }"));
    view.resize(200, 150);
    view.setPlainText(LongText(100));
    ASSERT_NE(SkinForTest(view), nullptr);
    view.show();
    QTRY_VERIFY(VerticalBar(view)->isVisible());
    const QRect contents = view.contentsRect();
    EXPECT_EQ(contents.left(), 3);
    EXPECT_EQ(VerticalBar(view)->geometry(),
              QRect(contents.right() - 15, contents.top(), 16, contents.height()));
}

} // namespace

} // namespace pellix
