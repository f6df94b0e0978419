#pragma once

namespace pellix {

// What the contact list model tells its one listener (the friend list window) about changes.
// Every call is made synchronously from inside the changing operation.

struct ContactInfo;

class IContactListener {
public:
    virtual ~IContactListener() = default;
    // Forget every contact shown so far.
    virtual void OnContactsReset() = 0;
    // Many contacts are about to change at once (a sign-on's list or states): a listener that
    // shows them row by row may show the turn's changes together instead.
    virtual void OnManyContactsChanging() {}
    virtual void OnContactCounts(int friendCount, int onlineFriendCount) = 0;
    // A contact's fields or group changed; also used to show every contact after a reload.
    virtual void OnContactChanged(ContactInfo* contact) = 0;
    // Added or updated by a server answer or an accepted request.
    virtual void OnContactAdded(ContactInfo* contact) = 0;
    // About to be deleted: the pointer is valid only during the call.
    virtual void OnContactRemoved(ContactInfo* contact) = 0;
};

} // namespace pellix
