// The chat display object renders markup into a rich view: the tag colours the line, the text is
// only ever text, and known emoticon codes become pictures shared by the document.

#include "MessageProxy.h"
#include "EmotionTable.h"
#include "ScopedWorkingDirectory.h"
#include "skin/SkinRichEdit.h"
#include "text/StringUtility.h"

#include <QDir>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

std::string Gbk(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Fragment {
    QString text;
    QTextCharFormat format;
};

class MessageProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<CSkinRichEdit>();
        proxy = std::make_unique<CMessageProxy>();
        ASSERT_TRUE(proxy->Attach(view.get()));
    }

    void Append(const std::string& gbkLine, int first = 1, int style = 0, int emoticons = 1,
                int points = 0) {
        proxy->AppendText(gbkLine.c_str(), first, style, emoticons, points);
    }

    // Puts pictures for the first emoticons where the display looks for them.
    void WritePictures(int count) {
        QDir().mkpath(QStringLiteral("data/Emotion"));
        for (int i = 0; i < count; ++i) {
            QImage image(24, 24, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(i * 30, 200, 200));
            ASSERT_TRUE(image.save(EmotionTable::ImagePath(i)));
        }
    }

    std::vector<Fragment> Fragments() const {
        std::vector<Fragment> fragments;
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                fragments.push_back({it.fragment().text(), it.fragment().charFormat()});
        return fragments;
    }

    std::vector<QTextImageFormat> Images() const {
        std::vector<QTextImageFormat> images;
        for (const Fragment& fragment : Fragments())
            if (fragment.format.isImageFormat())
                images.push_back(fragment.format.toImageFormat());
        return images;
    }

    ScopedWorkingDirectory workDir;
    std::unique_ptr<CSkinRichEdit> view;
    std::unique_ptr<CMessageProxy> proxy;
};

} // namespace

TEST_F(MessageProxyTest, TheTagColoursTheLine) {
    Append(Gbk("/<c=#FF0000>红"));
    EXPECT_EQ(view->toPlainText(), U("红"));
    const auto fragments = Fragments();
    ASSERT_EQ(fragments.size(), 1u);
    EXPECT_EQ(fragments[0].format.foreground().color(), QColor(0xFF, 0, 0));
}

TEST_F(MessageProxyTest, WhatTheTextHoldsIsShownCharacterForCharacterInTheBodyColour) {
    const std::string body = Gbk("/<c=#00FF00>x<b>粗</b>&amp;&lt;<img src=\"a.png\">") +
                             "\x01\t\x1b\x7f" + Gbk("[表情]尾");
    Append("/<c=#123456>" + body);
    EXPECT_EQ(view->toPlainText(), StringUtility::AnsiToQString(body));
    for (const Fragment& fragment : Fragments()) {
        EXPECT_FALSE(fragment.format.isImageFormat());
        EXPECT_EQ(fragment.format.foreground().color(), QColor(0x12, 0x34, 0x56));
        EXPECT_NE(fragment.format.fontWeight(), QFont::Bold);
    }
    EXPECT_EQ(view->document()->blockCount(), 1);
}

TEST_F(MessageProxyTest, ALineWithoutAValidTagIsShownWholeInBlack) {
    Append(Gbk("/<c=#GG0000>不是颜色"));
    EXPECT_EQ(view->toPlainText(), U("/<c=#GG0000>不是颜色"));
    for (const Fragment& fragment : Fragments())
        EXPECT_EQ(fragment.format.foreground().color(), QColor(Qt::black));
}

TEST_F(MessageProxyTest, TwoCodesBecomeTwoPicturesSharingTheDocumentsResources) {
    WritePictures(2);
    Append(Gbk("/<c=#000000>早[微笑]上[大笑]好[微笑][不存在]"));
    const auto images = Images();
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].name(), images[2].name());
    EXPECT_NE(images[0].name(), images[1].name());
    EXPECT_EQ(images[0].toolTip(), U("[微笑]"));
    for (const QTextImageFormat& image : images)
        EXPECT_TRUE(
            view->document()->resource(QTextDocument::ImageResource, QUrl(image.name())).isValid());
    EXPECT_TRUE(view->toPlainText().endsWith(U("好") + QChar(QChar::ObjectReplacementCharacter) +
                                             U("[不存在]")));
}

TEST_F(MessageProxyTest, AMissingPictureShowsTheCodeAsText) {
    WritePictures(1);
    Append(Gbk("/<c=#0000FF>[微笑][大笑]"));
    EXPECT_EQ(Images().size(), 1u);
    EXPECT_TRUE(view->toPlainText().endsWith(U("[大笑]")));
}

TEST_F(MessageProxyTest, TextOnlyLinesShowCodesAsText) {
    WritePictures(1);
    Append(Gbk("/<c=#FF0000> [微笑] 12:00:00   "), 1, 0, 0);
    EXPECT_TRUE(Images().empty());
    EXPECT_EQ(view->toPlainText(), U(" [微笑] 12:00:00   "));
}

TEST_F(MessageProxyTest, PicturesComeBackAfterTheViewIsCleared) {
    WritePictures(1);
    Append(Gbk("/<c=#000000>[微笑]"));
    view->Clear();
    Append(Gbk("/<c=#000000>[微笑]"));
    const auto images = Images();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(
        view->document()->resource(QTextDocument::ImageResource, QUrl(images[0].name())).isValid());
}

TEST_F(MessageProxyTest, TheFirstNumberStartsOrContinuesAParagraph) {
    Append(Gbk("/<c=#FF0000>一"));
    Append(Gbk("/<c=#00FF00>二"), 0);
    Append(Gbk("/<c=#0000FF>三"), 1);
    EXPECT_EQ(view->document()->blockCount(), 2);
    EXPECT_EQ(view->toPlainText(), U("一二\n三"));
    const auto fragments = Fragments();
    ASSERT_EQ(fragments.size(), 3u);
    EXPECT_EQ(fragments[1].format.foreground().color(), QColor(0, 0xFF, 0));
}

TEST_F(MessageProxyTest, StyleBitsAndFontSizeApplyToTheWholeLine) {
    Append(Gbk("/<c=#000000>粗斜线"), 1, 7, 1, 14);
    Append(Gbk("/<c=#000000>大小不对"), 1, 0, 1, 500);
    const auto fragments = Fragments();
    ASSERT_EQ(fragments.size(), 2u);
    EXPECT_EQ(fragments[0].format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(fragments[0].format.fontItalic());
    EXPECT_TRUE(fragments[0].format.fontUnderline());
    EXPECT_EQ(fragments[0].format.fontPointSize(), 14.0);
    EXPECT_FALSE(fragments[1].format.hasProperty(QTextFormat::FontPointSize));
}

TEST_F(MessageProxyTest, BodiesBetweenTheViewsHooksAreIndented) {
    Append(Gbk("/<c=#FF0000> 我 12:00:00   "));
    view->BeginMessageBody();
    Append(Gbk("/<c=#000000>正文"));
    view->EndMessageBody();
    const QTextBlock header = view->document()->firstBlock();
    EXPECT_EQ(header.blockFormat().leftMargin(), 0.0);
    EXPECT_GT(header.next().blockFormat().leftMargin(), 0.0);
}

TEST_F(MessageProxyTest, SetupChoosesFollowingTheEndAndBoundingTheHistory) {
    EXPECT_FALSE(view->document()->isUndoRedoEnabled());
    proxy->SetupA(0);
    proxy->SetupB(0);
    EXPECT_TRUE(view->m_bNoAutoScroll);
    EXPECT_EQ(view->document()->maximumBlockCount(), 0);
    proxy->SetupA(1);
    proxy->SetupB(1);
    EXPECT_FALSE(view->m_bNoAutoScroll);
    EXPECT_EQ(view->document()->maximumBlockCount(), MESSAGE_PROXY_MAX_PARAGRAPHS);
}

TEST_F(MessageProxyTest, ClosingTheWindowTakesTheViewBackToItsEnd) {
    view->resize(200, 80);
    view->show();
    for (int i = 0; i < 50; ++i)
        Append(Gbk("/<c=#000000>行"));
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    proxy->NotifyClosed();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(MessageProxyAttach, WithoutAViewNothingIsDrawnAndNothingBreaks) {
    CMessageProxy proxy;
    EXPECT_FALSE(proxy.Attach(nullptr));
    proxy.AppendText("/<c=#000000>x", 1, 0, 1, 0);
    proxy.SetupA(1);
    proxy.SetupB(1);
    proxy.NotifyClosed();

    auto view = std::make_unique<CSkinRichEdit>();
    ASSERT_TRUE(proxy.Attach(view.get()));
    proxy.AppendText(nullptr, 1, 0, 1, 0);
    EXPECT_TRUE(view->toPlainText().isEmpty());
    view.reset();
    proxy.AppendText("/<c=#000000>x", 1, 0, 1, 0);
    proxy.NotifyClosed();
}
