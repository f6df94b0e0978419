// A working directory removed under the running module: every storage operation fails with the
// usual box and creates nothing anywhere, least of all a profile at the root of the file system.

#include "StorageTestSupport.h"

#include "records/FriendRecords.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"

#include <QDir>
#include <QFileInfo>

namespace pellix {

namespace {

const QString kRootProfile = QStringLiteral("/Profile");

class NoWorkingDirectoryTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        m_bRootProfileBefore = QFileInfo::exists(kRootProfile);
        const QString gone = QString::fromStdString(WorkPath("removed"));
        ASSERT_TRUE(QDir().mkpath(gone));
        ASSERT_TRUE(QDir::setCurrent(gone));
        ASSERT_TRUE(QDir().rmdir(gone));
    }

    // Every box so far says that the working directory is gone, and there was one per failure.
    void ExpectBoxes(std::size_t count) {
        ASSERT_EQ(m_notices.notices.size(), count);
        for (const RecordedNotice& box : m_notices.notices) {
            EXPECT_EQ(box.text,
                      QStringLiteral("Data error: the working directory no longer exists"));
            EXPECT_EQ(box.caption, QString::fromUtf8("程序异常"));
            EXPECT_EQ(box.style, 16u);
        }
    }

    bool m_bRootProfileBefore = false;
};

} // namespace

TEST_F(NoWorkingDirectoryTest, EveryStoreFailsWithTheUsualBoxAndCreatesNothing) {
    CContactManager contacts;
    CChatHistoryManager history;
    CFriendOptionManager options;

    EXPECT_TRUE(contacts.LoadVersion());
    EXPECT_EQ(contacts.GetVersion(), -1);
    FriendEntry entry;
    entry.userID = 7;
    contacts.MergeFriendList({entry});
    EXPECT_FALSE(contacts.SaveFriendList());
    EXPECT_FALSE(contacts.ReloadAllFromStore()) << "there is no stored list to read";
    ExpectBoxes(2);

    history.AddMessage(502, "a", "b", 1, "lost");
    EXPECT_EQ(history.GetMessageCount(502), 0);
    history.DeleteHistory(502);
    history.DeleteAllHistory();
    ExpectBoxes(4);

    options.Load();
    options.Save();
    ExpectBoxes(6);

    EXPECT_EQ(QFileInfo::exists(kRootProfile), m_bRootProfileBefore);
    EXPECT_TRUE(QDir(QString::fromStdString(WorkPath("")))
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .isEmpty());
}

} // namespace pellix
