#pragma once
// The host's portraits: a generated avatar per user (stable colour and initial from the name, a
// gender mark), handed to the module as list images and painted into chat windows. Users whose
// avatars look alike (same initial, colour band and gender) share one image, so that thousands of
// contacts cost a few dozen images, not one each.

#include "pellix/IFriendHost.h"

#include <QPixmap>
#include <QString>

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

    // How many distinct list images were made so far.
    std::size_t ListImageCount() const { return m_listImages.size(); }

private:
    // Node-based: a returned image stays valid while others are added.
    using ImageCache = std::unordered_map<QString, QPixmap>;
    const QPixmap& Cached(ImageCache& cache, const std::string& userName, int gender, int size);

    ImageCache m_listImages;
    ImageCache m_portraits;
};
