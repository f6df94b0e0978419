// What the nodes of a cluster tell each other comes off the network: every kind reads back as it
// was written, and any message cut short, or of an unknown kind, is refused rather than read.

#include "cluster/ClusterMessage.h"

#include <gtest/gtest.h>

namespace pellix::server {

namespace {

std::vector<ClusterMessage> OneOfEachKind() {
    return {
        {.kind = ClusterKind::Heartbeat, .node = 1},
        {.kind = ClusterKind::RosterRequest, .node = 2},
        {.kind = ClusterKind::Roster, .node = 3, .flag = true, .roster = {{10001, 5}, {10002, -1}}},
        {.kind = ClusterKind::Presence, .node = 4, .userID = 7, .claim = 1LL << 40, .flag = true},
        {.kind = ClusterKind::PresenceNotice,
         .node = 5,
         .userID = 7,
         .claim = 9,
         .users = {1, 2, 3}},
        {.kind = ClusterKind::Chat,
         .node = 6,
         .userID = 1,
         .otherID = 2,
         .text = "\xc4\xe3\xba\xc3"},
        {.kind = ClusterKind::AckedChat,
         .node = ~0ULL,
         .userID = 1,
         .otherID = 2,
         .messageID = ~0ULL - 1,
         .text = "acked"},
        {.kind = ClusterKind::Shake, .node = 8, .userID = 1, .otherID = 2},
        {.kind = ClusterKind::FriendRequest, .node = 9, .userID = 3, .otherID = 4},
        {.kind = ClusterKind::FriendReply, .node = 10, .userID = 4, .otherID = 3, .flag = true},
        {.kind = ClusterKind::NewFriend, .node = 11, .userID = 3, .otherID = 4},
        {.kind = ClusterKind::QueuePoke, .node = 12, .userID = 5},
    };
}

void ExpectSame(const ClusterMessage& read, const ClusterMessage& written) {
    EXPECT_EQ(read.kind, written.kind);
    EXPECT_EQ(read.node, written.node);
    EXPECT_EQ(read.userID, written.userID);
    EXPECT_EQ(read.otherID, written.otherID);
    EXPECT_EQ(read.claim, written.claim);
    EXPECT_EQ(read.flag, written.flag);
    EXPECT_EQ(read.messageID, written.messageID);
    EXPECT_EQ(read.text, written.text);
    EXPECT_EQ(read.users, written.users);
    ASSERT_EQ(read.roster.size(), written.roster.size());
    for (std::size_t i = 0; i < read.roster.size(); ++i) {
        EXPECT_EQ(read.roster[i].userID, written.roster[i].userID);
        EXPECT_EQ(read.roster[i].claim, written.roster[i].claim);
    }
}

} // namespace

TEST(ClusterMessageTest, EveryKindReadsBackAndNoPrefixOfItIsTaken) {
    for (const ClusterMessage& written : OneOfEachKind()) {
        SCOPED_TRACE(static_cast<int>(written.kind));
        const QByteArray bytes = EncodeClusterMessage(written);
        const std::optional<ClusterMessage> read = DecodeClusterMessage(bytes);
        ASSERT_TRUE(read);
        ExpectSame(*read, written);
        // A text may end where its message ends, so the shortest prefix that still holds it all
        // is read; anything shorter than the fixed fields is not.
        const bool endsWithText = !written.text.empty();
        for (qsizetype size = 0; size < bytes.size() - (endsWithText ? 1 : 0); ++size) {
            const std::optional<ClusterMessage> cut = DecodeClusterMessage(bytes.left(size));
            if (cut && endsWithText)
                EXPECT_NE(cut->text, written.text) << "prefix of " << size << " bytes";
            else
                EXPECT_FALSE(cut) << "prefix of " << size << " bytes";
        }
    }
}

TEST(ClusterMessageTest, UnknownKindsAndHugeCountsAreRefused) {
    EXPECT_FALSE(DecodeClusterMessage(QByteArray(9, '\0')));
    EXPECT_FALSE(DecodeClusterMessage(QByteArray(1, char(99)) + QByteArray(8, '\1')));
    // A roster claiming four billion entries over a few bytes.
    QByteArray roster = EncodeClusterMessage({.kind = ClusterKind::Roster, .node = 1});
    roster.chop(4);
    roster += QByteArray("\xff\xff\xff\xff\x01\x00\x00\x00", 8);
    EXPECT_FALSE(DecodeClusterMessage(roster));
}

} // namespace pellix::server
