// The host's portraits: stable per user, shared among users who look alike.

#include "AvatarHost.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(AvatarHost, ThousandsOfUsersShareAFewImagesAndEachKeepsItsOwn) {
    AvatarHost host;
    std::set<const QPixmap*> images;
    for (int id = 0; id < 2000; ++id)
        images.insert(host.GetUserFaceImage("u" + std::to_string(id), id, 0, id % 2));
    // One initial, 24 colour bands, two genders at most.
    EXPECT_LE(host.ListImageCount(), 48u);
    EXPECT_EQ(images.size(), host.ListImageCount());

    const QPixmap* first = host.GetUserFaceImage("u7", 7, 0, 1);
    EXPECT_EQ(host.GetUserFaceImage("u7", 7, 0, 1), first);
    EXPECT_NE(host.GetUserFaceImage("u7", 7, 0, 0), first);
    EXPECT_NE(host.GetUserFaceImage("k7", 7, 0, 1), first);
    EXPECT_EQ(first->width(), AvatarHost::kListSize);
    // An image handed out earlier stays valid while many more are made.
    for (int id = 0; id < 500; ++id)
        host.GetUserFaceImage(std::to_string(id) + "x", id, 0, 1);
    EXPECT_EQ(first->width(), AvatarHost::kListSize);
}
