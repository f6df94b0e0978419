// The module loaded as a host loads it: dlopen of the built library, then its three exports.

#include "ScopedWorkingDirectory.h"
#include "pellix/FriendClient.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(PELLIX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        create = reinterpret_cast<CreateFriendClientFn>(dlsym(handle, "CreateFriendClient"));
        destroy = reinterpret_cast<DestroyFriendClientFn>(dlsym(handle, "DestroyFriendClient"));
        exported = static_cast<IFriendClient**>(dlsym(handle, "g_pIFriendClient"));
        ASSERT_NE(create, nullptr);
        ASSERT_NE(destroy, nullptr);
        ASSERT_NE(exported, nullptr);
    }
    void TearDown() override {
        if (destroy != nullptr) {
            IFriendClient* client = *exported;
            destroy(&client);
        }
    }

    ScopedWorkingDirectory workDir;
    void* handle = nullptr;
    CreateFriendClientFn create = nullptr;
    DestroyFriendClientFn destroy = nullptr;
    IFriendClient** exported = nullptr;
};

} // namespace

TEST_F(LoadedModule, OnlyTheThreeEntryPointsAreExported) {
    EXPECT_EQ(dlsym(handle, "_ZN14CFriendServiceC1Ev"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z11GetUserInfov"), nullptr);
}

TEST_F(LoadedModule, TwoCreatesGiveTheExportedPointer) {
    IFriendClient* first = create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(create(), first);
    EXPECT_EQ(*exported, first);
}

TEST_F(LoadedModule, DestroyNullsBothPointersEvenWithoutAService) {
    IFriendClient* client = reinterpret_cast<IFriendClient*>(0x1);
    destroy(&client);
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(*exported, nullptr);

    client = create();
    ASSERT_NE(client, nullptr);
    destroy(&client);
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(*exported, nullptr);
}

TEST_F(LoadedModule, CreateAfterDestroyBuildsANewWorkingService) {
    IFriendClient* first = create();
    ASSERT_NE(first, nullptr);
    destroy(&first);
    IFriendClient* second = create();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(*exported, second);
    tagUserInfo info{};
    info.userID = 77;
    second->SetUserInfo(info, "token");
    second->SetFriendHost(nullptr);
}
