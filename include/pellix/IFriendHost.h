#pragma once
// The host's callback object. The module calls only slots 7 and 9; the others keep the host's
// table layout and are never called.

#include <string>

class QPainter;
class QPixmap;

class IFriendHost {
public:
    virtual void HostSlot1() {}
    virtual void HostSlot2() {}
    virtual void HostSlot3() {}
    virtual void HostSlot4() {}
    virtual void HostSlot5() {}
    virtual void HostSlot6() {}
    // The portrait shown with a friend list entry, owned by the host; null for none.
    virtual const QPixmap* GetUserFaceImage(std::string userName, int userID, int showID,
                                            int gender) = 0;
    virtual void HostSlot8() {}
    // Paints a portrait with its top-left corner at (x, y).
    virtual void DrawUserFace(QPainter* dc, int x, int y, std::string userName, int userID,
                              int showID, int gender) = 0;

protected:
    ~IFriendHost() = default;
};
