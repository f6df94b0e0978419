#pragma once
// The host's portraits: a generated avatar per user (stable colour and initial from the name, a
// gender mark), handed to the module as list images and painted into chat windows.

#include "pellix/IFriendHost.h"

#include <QPixmap>
#include <unordered_map>

class AvatarHost final : public IFriendHost {
public:
    const QPixmap* GetUserFaceImage(std::string userName, int userID, int showID,
                                    int gender) override;
    void DrawUserFace(QPainter* dc, int x, int y, std::string userName, int userID, int showID,
                      int gender) override;

    static constexpr int kListSize = 32;
    static constexpr int kPortraitSize = 96;

    // The avatar of one user at the given edge length.
    static QPixmap MakeAvatar(const QString& name, int gender, int size);

private:
    const QPixmap& Cached(std::unordered_map<int, QPixmap>& cache, const std::string& userName,
                          int userID, int gender, int size);

    std::unordered_map<int, QPixmap> m_listImages;
    std::unordered_map<int, QPixmap> m_portraits;
};
