// libFuzzer target for the dispatcher of server commands without the service and its windows: the
// inputs of dispatch_fuzzer (DispatchInput.h) handed to the command handler over the contact,
// history and option managers of a profile on tmpfs and the outbox, with requests, sounds and
// windows that only record what they are asked (tests/support/fakes). No window is built, laid
// out or writes history, so the decoding of every body and the handlers' bookkeeping run at about
// three times the whole service's rate; dispatch_fuzzer remains the one for what the windows do.
//
// A few chats of the user's own wait in the outbox, numbered from 1 so that the message ids the
// folding keeps (1-8) meet them: the server's word on each may reach the windows once, and on no
// other chat. Once all are settled the outbox starts over. Each input is one turn of the event
// loop, so the outbox saves and confirms what it received after it. Every 50,000 inputs the
// managers are built anew and the profile emptied, as in dispatch_fuzzer. Corpus folders must be
// given as absolute paths: the target works in its profile folder.

#include "DispatchInput.h"
#include "RecordingRequests.h"
#include "RecordingSounds.h"
#include "RecordingWindows.h"
#include "base/SignedInUser.h"
#include "data/SQLite/Connector.h"
#include "module/ChatDelivery.h"
#include "protocol/FriendCommandHandler.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "storage/ProfilePaths.h"
#include "text/FileUtility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>

namespace pellix {

namespace {

constexpr int kInputsPerDispatcher = 50000;
// Recipients among the folded ids (UserIdFolding.cpp); one of them twice.
constexpr int32_t kWaitingChatRecipients[] = {502, 503, 502};

class DiscardingWire final : public IChatWire {
public:
    bool SendChat(const OutboxMessage&, bool) override { return true; }
    bool SendExtensionsAnswer(uint32_t) override { return true; }
    bool SendDeliveryAck(int32_t, uint64_t) override { return true; }
};

class Dispatcher {
public:
    Dispatcher() {
        m_options.Load();
        Refill();
    }

    bool Dispatch(const DispatchInput& input) {
        const FriendCommandContext context{m_requests,    m_sounds,     &m_windows,
                                           &m_contacts,   &m_history,   &m_options,
                                           m_tipFriendID, m_serverFlag, m_delivery.get()};
        const bool handled = CFriendCommandHandler(context).Dispatch(
            {CMD_FRIEND, input.sub}, input.body.get(), input.length);
        // The end of the event loop's turn, when the outbox saves what the command changed.
        QCoreApplication::processEvents();
        SettleReports();
        return handled;
    }

private:
    // Every chat the windows heard of must have been waiting; what they heard is then forgotten.
    void SettleReports() {
        for (const auto* reports : {&m_windows.delivered, &m_windows.refused}) {
            for (const uint64_t messageID : *reports) {
                if (m_waiting.erase(messageID) == 0)
                    std::abort();
            }
        }
        m_windows = RecordingWindows();
        m_requests.sent.clear();
        m_sounds.played.clear();
        if (m_waiting.empty())
            Refill();
    }

    // A new outbox on an empty delivery file: its ids count from 1 again.
    void Refill() {
        m_delivery.reset();
        QFile::remove(QString::fromStdString(DeliveryDatabasePath()));
        m_delivery = std::make_unique<CChatDelivery>(m_wire, [] { return int64_t{0}; });
        m_delivery->SetWindows(&m_windows);
        m_delivery->Open(DeliveryDatabasePath());
        for (const int32_t recipient : kWaitingChatRecipients)
            m_waiting.insert(m_delivery->Send(recipient, 0, "hello").messageID);
    }

    RecordingRequests m_requests;
    RecordingSounds m_sounds;
    RecordingWindows m_windows;
    CContactManager m_contacts;
    CChatHistoryManager m_history;
    CFriendOptionManager m_options;
    DiscardingWire m_wire;
    std::unique_ptr<CChatDelivery> m_delivery;
    std::set<uint64_t> m_waiting;
    int32_t m_tipFriendID = 0;
    uint8_t m_serverFlag = 0;
};

struct Harness {
    Harness() : workDir(TmpfsWorkDirTemplate(QStringLiteral("dispatch-core-fuzz"))) {
        QDir::setCurrent(workDir.path());
        QxDataModule::SQLite::Connector::registerConnector();
        tagUserInfo info{};
        info.userID = 501;
        std::memcpy(info.nickName, "me", 2);
        CopyUserInfo(GetUserInfo(), info);
    }

    Dispatcher& Current() {
        if (!dispatcher || ++inputs % kInputsPerDispatcher == 0) {
            dispatcher.reset();
            FileUtility::EmptyDirectory(QFile::encodeName(workDir.path()).toStdString());
            EnsureDirectory(ProfileDirectory());
            dispatcher = std::make_unique<Dispatcher>();
        }
        return *dispatcher;
    }

    QTemporaryDir workDir;
    std::unique_ptr<Dispatcher> dispatcher;
    int inputs = 0;
};

void DropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Never destroyed, as in dispatch_fuzzer: both stay reachable when libFuzzer exits.
QCoreApplication* g_app = nullptr;
Harness* g_harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler(DropQtMessages);
    g_app = new QCoreApplication(*argc, *argv);
    g_harness = new Harness();
    std::atexit([] { g_harness->workDir.remove(); });
    __sanitizer_set_death_callback([] { g_harness->workDir.remove(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::optional<DispatchInput> input = ReadDispatchInput(data, size);
    if (!input)
        return -1;
    CheckHandled(*input, g_harness->Current().Dispatch(*input));
    return 0;
}

} // namespace pellix
