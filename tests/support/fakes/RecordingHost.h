#pragma once
// Records the calls of the host's portrait slots.

#include "pellix/IFriendHost.h"

#include <string>
#include <utility>
#include <vector>

namespace pellix {

class RecordingHost final : public IFriendHost {
public:
    const QPixmap* GetUserFaceImage(std::string userName, int userID, int, int) override {
        faces.emplace_back(std::move(userName), userID);
        return nullptr;
    }
    void DrawUserFace(QPainter*, int, int, std::string, int, int, int) override {}

    std::vector<std::pair<std::string, int>> faces;
};

} // namespace pellix
