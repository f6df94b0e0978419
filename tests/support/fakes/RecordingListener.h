#pragma once
// Records what the contact model tells its listener.

#include "storage/ContactInfo.h"
#include "storage/ContactListener.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

struct ListenerCall {
    std::string what;
    int32_t userID = 0;
    int friends = 0;
    int online = 0;
};

class RecordingListener final : public IContactListener {
public:
    void OnContactsReset() override { calls.push_back({"reset"}); }
    void OnContactCounts(int friendCount, int onlineFriendCount) override {
        calls.push_back({"counts", 0, friendCount, onlineFriendCount});
    }
    void OnContactChanged(ContactInfo* contact) override {
        calls.push_back({"changed", contact->userID});
    }
    void OnContactAdded(ContactInfo* contact) override {
        calls.push_back({"added", contact->userID});
    }
    void OnContactRemoved(ContactInfo* contact) override {
        calls.push_back({"removed", contact->userID});
    }

    std::vector<ListenerCall> calls;
};

} // namespace pellix
