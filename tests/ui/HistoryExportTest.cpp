// Export of a whole conversation: every message in order in plain text and HTML, HTML that
// escapes what it shows, and failures that leave no half-written file and say why.

#include "WindowFixture.h"
#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "storage/ChatHistoryManager.h"
#include "text/StringUtility.h"
#include "ui/chat/ChatHistoryExporter.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace pellix {

namespace {

constexpr int kMessages = 45;

class HistoryExport : public WindowFixture {
protected:
    void SetUp() override {
        SignOnWith({Friend(502, "小明", true)});
        for (int i = 0; i < kMessages; ++i) {
            const std::string text = i == 7   ? std::string("<script>alert('x')</script> & \"q\"")
                                     : i == 8 ? Gbk("第八条：你好")
                                              : "message " + std::to_string(i);
            m_history.AddMessage(502, Gbk("小明"), Gbk("我自己"), 1304402529 + i, text);
        }
        m_history.CommitPending();
    }

    QString Target(const QString& name) const { return QDir(m_profile.Path()).filePath(name); }

    static QString Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Where each message's own text stands in the file, in stored order; -1 when missing.
    static std::vector<qsizetype> Positions(const QString& content) {
        std::vector<qsizetype> positions;
        for (int i = 0; i < kMessages; ++i) {
            if (i == 7 || i == 8)
                continue;
            positions.push_back(content.indexOf(QStringLiteral("message %1\n").arg(i)));
        }
        return positions;
    }

    CChatHistoryExporter::Status Export(ChatHistoryExportFormat format, const QString& path) {
        CChatHistoryExporter exporter(m_history.HistoryFilePath(502), Gbk("小明"), format, path,
                                      10);
        const auto status = exporter.Run();
        m_errorText = exporter.ErrorText();
        m_nWritten = exporter.MessagesWritten();
        return status;
    }

    QString m_errorText;
    int m_nWritten = 0;
};

} // namespace

TEST_F(HistoryExport, PlainTextHoldsEveryMessageInOrder) {
    const QString path = Target(QStringLiteral("history.txt"));
    ASSERT_EQ(Export(ChatHistoryExportFormat::PlainText, path),
              CChatHistoryExporter::Status::Finished);
    EXPECT_EQ(m_nWritten, kMessages);
    const QString content = Read(path);
    EXPECT_TRUE(content.startsWith(QStringLiteral("与小明的聊天记录\n\n")));
    EXPECT_EQ(content.count(QStringLiteral("小明 (2011-")), kMessages);
    const std::vector<qsizetype> positions = Positions(content);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(std::count(positions.begin(), positions.end(), -1), 0);
    EXPECT_TRUE(content.contains(QStringLiteral("第八条：你好\n")));
    EXPECT_TRUE(content.contains(QStringLiteral("<script>alert('x')</script>")));
}

TEST_F(HistoryExport, HtmlHoldsEveryMessageInOrderAndEscapesThem) {
    const QString path = Target(QStringLiteral("history.html"));
    ASSERT_EQ(Export(ChatHistoryExportFormat::Html, path), CChatHistoryExporter::Status::Finished);
    QString content = Read(path);
    EXPECT_TRUE(content.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(content.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_EQ(content.count(QStringLiteral("<div class=\"header\">")), kMessages);
    EXPECT_FALSE(content.contains(QStringLiteral("<script")));
    EXPECT_TRUE(content.contains(
        QStringLiteral("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;")));
    EXPECT_TRUE(content.contains(QStringLiteral(">第八条：你好<")));
    // Every body ends where its element ends.
    content.replace(QStringLiteral("</div></div>"), QStringLiteral("\n"));
    const std::vector<qsizetype> positions = Positions(content);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(std::count(positions.begin(), positions.end(), -1), 0);
}

TEST_F(HistoryExport, TheExportButtonAsksWhereAndSuggestsTheFriendAndTheDate) {
    CFriendChatHistoryViewerDlg viewer(m_context);
    viewer.SetFriend(502);
    QString suggested;
    const QString path = Target(QStringLiteral("chosen.html"));
    viewer.SetExportPathSource([&](QWidget*, const QString& name) {
        suggested = name;
        return std::optional<ChatHistoryExportTarget>({path, ChatHistoryExportFormat::Html});
    });
    viewer.show();
    QSignalSpy finished(&viewer, &CFriendChatHistoryViewerDlg::exportFinished);
    QTest::mouseClick(viewer.ControlButton(IDC_HISTORY_EXPORT), Qt::LeftButton);
    EXPECT_TRUE(viewer.IsExporting());
    EXPECT_FALSE(viewer.ControlButton(IDC_HISTORY_EXPORT)->isEnabled());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_TRUE(viewer.ControlButton(IDC_HISTORY_EXPORT)->isEnabled());
    EXPECT_EQ(suggested, QStringLiteral("聊天记录-小明-%1.txt")
                             .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    EXPECT_EQ(Read(path).count(QStringLiteral("<div class=\"message\">")), kMessages);
    EXPECT_TRUE(m_boxes.boxes.empty());

    // Cancelled: nothing is written and nothing is said.
    viewer.SetExportPathSource([](QWidget*, const QString&) { return std::nullopt; });
    viewer.ExportHistory();
    EXPECT_FALSE(viewer.IsExporting());
}

TEST_F(HistoryExport, AnUnwritableTargetLeavesNoFileAndTheBoxSaysWhy) {
    CFriendChatHistoryViewerDlg viewer(m_context);
    viewer.SetFriend(502);
    const QString path = Target(QStringLiteral("no-such-folder/history.txt"));
    viewer.SetExportPathSource([&](QWidget*, const QString&) {
        return std::optional<ChatHistoryExportTarget>({path, ChatHistoryExportFormat::PlainText});
    });
    viewer.show();
    QSignalSpy finished(&viewer, &CFriendChatHistoryViewerDlg::exportFinished);
    viewer.ExportHistory();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.first().first().toBool());
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    const ShownBox& box = m_boxes.boxes[0];
    // The system's reason, then the file.
    EXPECT_EQ(box.text, QStringLiteral("聊天记录导出失败：%1\n%2")
                            .arg(QString::fromLocal8Bit(std::strerror(ENOENT)), path));
    EXPECT_EQ(box.caption, QStringLiteral("好友服务"));
    EXPECT_EQ(box.style, 16u);
    EXPECT_EQ(box.owner, &viewer);
}

TEST_F(HistoryExport, AWriteThatFailsHalfWayKeepsTheEarlierFileAndLeavesNoTemporary) {
    const QString folder = Target(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("history.html"));
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier export");
    earlier.close();

    // Files of this process may not grow past 2 KiB: the export breaks off in the middle, as on
    // a full disk. The signal the limit raises is ignored, so the write fails instead.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto status = Export(ChatHistoryExportFormat::Html, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status, CChatHistoryExporter::Status::Failed);
    EXPECT_EQ(m_errorText, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(Read(path), QStringLiteral("earlier export"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("history.html")});
}

} // namespace pellix
