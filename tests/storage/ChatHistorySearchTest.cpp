// Reading a whole history part after part by row number, finding the newest older message that
// holds a text, and the row of a message by its index.

#include "StorageTestSupport.h"

#include "storage/ChatHistoryManager.h"

#include <QDir>

#include <limits>

namespace pellix {

namespace {

constexpr int64_t kNewest = std::numeric_limits<int64_t>::max();

class ChatHistorySearchTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/501")));
    }

    // Messages with 502 whose texts are given by index; every other one is "message i".
    void Store(int count, const std::map<int, std::string>& special = {}) {
        for (int i = 0; i < count; ++i) {
            const auto text = special.find(i);
            history.AddMessage(502, "me", "you", 1000 + i,
                               text != special.end() ? text->second
                                                     : "message " + std::to_string(i));
        }
    }

    // Index of the newest message before the row that holds text; -1 when none.
    int Find(const std::string& text, int64_t beforeRow = kNewest) {
        const ChatHistoryMatch match = history.FindMessageBefore(502, text, beforeRow);
        return match.nRowID == 0 ? -1 : match.nIndex;
    }

    CChatHistoryManager history;
};

} // namespace

TEST_F(ChatHistorySearchTest, RowsAfterReadTheWholeHistoryInOrderPartByPart) {
    Store(45, {{3, "\xC4\xE3\xBA\xC3"}}); // "你好" in GBK
    std::vector<ChatHistoryRow> all;
    std::vector<std::size_t> parts;
    int64_t last = 0;
    for (;;) {
        std::vector<ChatHistoryRow> part;
        ASSERT_TRUE(history.GetRowsAfter(502, last, 20, part));
        parts.push_back(part.size());
        if (part.empty())
            break;
        last = part.back().nRowID;
        all.insert(all.end(), part.begin(), part.end());
    }
    EXPECT_EQ(parts, (std::vector<std::size_t>{20, 20, 5, 0}));
    ASSERT_EQ(all.size(), 45u);
    for (int i = 0; i < 45; ++i) {
        EXPECT_EQ(all[i].record.nTime, 1000 + i);
        EXPECT_EQ(history.RowAt(502, i), all[i].nRowID);
    }
    EXPECT_EQ(all[3].record.strMessage, "\xC4\xE3\xBA\xC3");
    EXPECT_EQ(all[4].record.strMessage, "message 4");
    EXPECT_EQ(history.RowAt(502, 45), 0);
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(ChatHistorySearchTest, FindGivesTheNewestOlderMatchAndItsIndex) {
    Store(30, {{5, "a Needle here"},
               {25, "needle again"},
               {12, "\xBD\xF1\xCD\xED\xB4\xF2\xC5\xC6"}, // "今晚打牌" in GBK
               {7, "100%"},
               {9, "100 percent"},
               {8, "a_b"},
               {10, "axb"},
               {11, "back\\slash"}});
    EXPECT_EQ(Find("NEEDLE"), 25);
    EXPECT_EQ(Find("needle", history.RowAt(502, 25)), 5);
    EXPECT_EQ(Find("needle", history.RowAt(502, 5)), -1);
    EXPECT_EQ(Find("\xB4\xF2\xC5\xC6"), 12); // "打牌"
    // LIKE's own characters stand for themselves.
    EXPECT_EQ(Find("100%"), 7);
    EXPECT_EQ(Find("a_b"), 8);
    EXPECT_EQ(Find("k\\s"), 11);
    EXPECT_EQ(Find("absent"), -1);
    EXPECT_TRUE(m_notices.notices.empty());
}

} // namespace pellix
