#include "RecordColumns.h"

#include "data/Extraction.h"

namespace pellix {

using QxDataModule::AbstractExtractor;
using QxDataModule::AbstractPreparator;
using QxDataModule::ColumnKind;
using QxDataModule::ExtractColumn;

namespace {

void PrepareColumns(AbstractPreparator& preparator, std::size_t pos,
                    std::initializer_list<ColumnKind> kinds) {
    for (ColumnKind kind : kinds)
        preparator.prepare(pos++, kind);
}

constexpr ColumnKind INTEGER = ColumnKind::Integer;
constexpr ColumnKind TEXT = ColumnKind::Text;

} // namespace

void RecordColumns<ContactInfo>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                         ContactInfo& contact, const ContactInfo& defaults) {
    ExtractColumn(extractor, pos, contact.userID, defaults.userID);
    ExtractColumn(extractor, pos + 1, contact.showID, defaults.showID);
    ExtractColumn(extractor, pos + 2, contact.sortID, defaults.sortID);
    ExtractColumn(extractor, pos + 3, contact.groupID, defaults.groupID);
    ExtractColumn(extractor, pos + 4, contact.gender, defaults.gender);
    ExtractColumn(extractor, pos + 5, contact.userName, defaults.userName);
    ExtractColumn(extractor, pos + 6, contact.nickName, defaults.nickName);
    ExtractColumn(extractor, pos + 7, contact.noteName, defaults.noteName);
}

void RecordColumns<ContactInfo>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos,
                   {INTEGER, INTEGER, INTEGER, INTEGER, INTEGER, TEXT, TEXT, TEXT});
}

void RecordColumns<ChatHistoryRecord>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                               ChatHistoryRecord& record,
                                               const ChatHistoryRecord& defaults) {
    ExtractColumn(extractor, pos, record.strFrom, defaults.strFrom);
    ExtractColumn(extractor, pos + 1, record.strTo, defaults.strTo);
    ExtractColumn(extractor, pos + 2, record.nTime, defaults.nTime);
    ExtractColumn(extractor, pos + 3, record.strMessage, defaults.strMessage);
}

void RecordColumns<ChatHistoryRecord>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos, {TEXT, TEXT, INTEGER, TEXT});
}

void RecordColumns<ChatHistoryRow>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                            ChatHistoryRow& row, const ChatHistoryRow& defaults) {
    ExtractColumn(extractor, pos, row.nRowID, defaults.nRowID);
    RecordColumns<ChatHistoryRecord>::Extract(extractor, pos + 1, row.record, defaults.record);
}

void RecordColumns<ChatHistoryRow>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    preparator.prepare(pos, INTEGER);
    RecordColumns<ChatHistoryRecord>::Prepare(preparator, pos + 1);
}

void RecordColumns<FriendOption>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                          FriendOption& option, const FriendOption& defaults) {
    ExtractColumn(extractor, pos, option.bRefuseAddFriend, defaults.bRefuseAddFriend);
    ExtractColumn(extractor, pos + 1, option.bRefuseOnlineTips, defaults.bRefuseOnlineTips);
    ExtractColumn(extractor, pos + 2, option.bSentCloseWindow, defaults.bSentCloseWindow);
    ExtractColumn(extractor, pos + 3, option.bRefuseInviteGame, defaults.bRefuseInviteGame);
    ExtractColumn(extractor, pos + 4, option.bEnterShortcut, defaults.bEnterShortcut);
    ExtractColumn(extractor, pos + 5, option.bOpenFriendSound, defaults.bOpenFriendSound);
}

void RecordColumns<FriendOption>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos, {INTEGER, INTEGER, INTEGER, INTEGER, INTEGER, INTEGER});
}

void RecordColumns<FriendTipSetting>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                              FriendTipSetting& setting,
                                              const FriendTipSetting& defaults) {
    ExtractColumn(extractor, pos, setting.userID, defaults.userID);
    ExtractColumn(extractor, pos + 1, setting.bOnlineTips, defaults.bOnlineTips);
}

void RecordColumns<FriendTipSetting>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos, {INTEGER, INTEGER});
}

void RecordColumns<OutboxMessage>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                           OutboxMessage& message, const OutboxMessage& defaults) {
    ExtractColumn(extractor, pos, message.messageID, defaults.messageID);
    ExtractColumn(extractor, pos + 1, message.friendID, defaults.friendID);
    ExtractColumn(extractor, pos + 2, message.queuedAt, defaults.queuedAt);
    ExtractColumn(extractor, pos + 3, message.text, defaults.text);
}

void RecordColumns<OutboxMessage>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos, {INTEGER, INTEGER, INTEGER, TEXT});
}

void RecordColumns<ReceivedChatID>::Extract(AbstractExtractor& extractor, std::size_t pos,
                                            ReceivedChatID& id, const ReceivedChatID& defaults) {
    ExtractColumn(extractor, pos, id.friendID, defaults.friendID);
    ExtractColumn(extractor, pos + 1, id.messageID, defaults.messageID);
}

void RecordColumns<ReceivedChatID>::Prepare(AbstractPreparator& preparator, std::size_t pos) {
    PrepareColumns(preparator, pos, {INTEGER, INTEGER});
}

} // namespace pellix
