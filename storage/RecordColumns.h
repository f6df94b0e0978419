#pragma once
// Column layouts of the stored records, in the order of their tables.

#include "RecordExtraction.h"
#include "storage/ChatHistoryRecord.h"
#include "storage/ContactInfo.h"
#include "storage/FriendOption.h"
#include "storage/FriendTipSetting.h"
#include "storage/OutboxMessage.h"

#include "data/AbstractBinder.h"

#include <cstddef>

namespace pellix {

template <> struct RecordColumns<ContactInfo> {
    // userID, showID, sortID, groupID, gender, userName, nickName, noteName.
    static constexpr std::size_t COUNT = 8;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        ContactInfo& contact, const ContactInfo& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<ChatHistoryRecord> {
    // From, To, Time, Message.
    static constexpr std::size_t COUNT = 4;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        ChatHistoryRecord& record, const ChatHistoryRecord& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<ChatHistoryRow> {
    // rowid, then the columns of ChatHistoryRecord.
    static constexpr std::size_t COUNT = 1 + RecordColumns<ChatHistoryRecord>::COUNT;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        ChatHistoryRow& row, const ChatHistoryRow& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<FriendOption> {
    // RefuseAddFriend, RefuseOnlineTips, SentCloseWindow, RefuseInviteGame, SendHotKey,
    // OpenFriendSound.
    static constexpr std::size_t COUNT = 6;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        FriendOption& option, const FriendOption& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<FriendTipSetting> {
    // userID, OnlineTips.
    static constexpr std::size_t COUNT = 2;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        FriendTipSetting& setting, const FriendTipSetting& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<OutboxMessage> {
    // message_id, friend_id, queued_at, text.
    static constexpr std::size_t COUNT = 4;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        OutboxMessage& message, const OutboxMessage& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

template <> struct RecordColumns<ReceivedChatID> {
    // friend_id, message_id.
    static constexpr std::size_t COUNT = 2;
    static void Extract(QxDataModule::AbstractExtractor& extractor, std::size_t pos,
                        ReceivedChatID& id, const ReceivedChatID& defaults);
    static void Prepare(QxDataModule::AbstractPreparator& preparator, std::size_t pos);
};

} // namespace pellix
