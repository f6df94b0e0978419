// The stacked-tab list: panels, items, lookups by user data, and the events of the mouse.

#include "skin/SkinOutBarCtrlEx.h"

#include <QListView>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

class OutBarCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        bar.resize(148, 400);
        bar.InsertTabPannel(QStringLiteral("我的好友(0/0)"), 0, QString());
        bar.InsertTabPannel(QStringLiteral("陌生人"), 1, QString());
        bar.InsertTabPannel(QStringLiteral("黑名单"), 2, QString());
        bar.SetSelTab(0);
    }

    void Add(int tab, int position, const QString& name, int userData, bool offline = false) {
        bar.InsertItem(tab, position, name, QString::number(userData), nullptr, offline, userData);
    }

    std::vector<int> UserDataOf(int tab) const {
        std::vector<int> values;
        for (int item = 0; item < bar.GetItemCount(tab); ++item)
            values.push_back(bar.GetItemUserData(tab, item));
        return values;
    }

    QListView& View() const { return *bar.findChild<QListView*>(); }

    int CurrentUserData() const {
        return View().currentIndex().data(OutBarItemModel::UserDataRole).toInt();
    }

    void ClickItem(int row) {
        QWidget* viewport = bar.ItemViewport();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier,
                          viewport->mapFrom(&bar, bar.ItemRect(row).center()));
    }

    // The row the view shows at the bottom of the list, once scrolled there.
    int LastRowTheViewShows() {
        const QModelIndex last = View().model()->index(bar.GetItemCount(0) - 1, 0);
        View().scrollTo(last);
        return View().indexAt(View().visualRect(last).center()).row();
    }

    CSkinOutBarCtrlEx bar;
};

TEST_F(OutBarCtrlTest, ItemsGoWhereAskedAndOutOfRangeAppends) {
    Add(0, 0, QStringLiteral("b"), 2);
    Add(0, 0, QStringLiteral("a"), 1);
    Add(0, bar.GetItemCount(0), QStringLiteral("c"), 3);
    Add(0, 99, QStringLiteral("d"), 4);
    Add(0, -1, QStringLiteral("e"), 5);
    EXPECT_EQ(UserDataOf(0), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(bar.GetItemText(0, 0), QStringLiteral("a"));
    EXPECT_EQ(bar.GetItemSubText(0, 2), QStringLiteral("3"));
    EXPECT_EQ(bar.GetItemCount(1), 0);
    EXPECT_EQ(bar.InsertItem(7, 0, QStringLiteral("x"), QString(), nullptr, false, 9), -1);
    EXPECT_EQ(bar.GetItemText(0, 5), QString());
    EXPECT_EQ(bar.GetItemUserData(0, -1), 0);
}

TEST_F(OutBarCtrlTest, ItemQueriesWithoutTabFollowTheOpenPanel) {
    Add(0, -1, QStringLiteral("friend"), 10);
    Add(1, -1, QStringLiteral("stranger"), 20);
    EXPECT_EQ(bar.GetItemText(0), QStringLiteral("friend"));
    bar.SetSelTab(1);
    EXPECT_EQ(bar.GetCurrentTabIndex(), 1);
    EXPECT_EQ(bar.GetItemText(0), QStringLiteral("stranger"));
    EXPECT_EQ(bar.GetItemUserData(0), 20);
    bar.SetSelTab(5);
    EXPECT_EQ(bar.GetCurrentTabIndex(), 1);
}

TEST_F(OutBarCtrlTest, RemovalByUserDataTakesEveryMatchOfThatTabOnly) {
    Add(0, -1, QStringLiteral("a"), 1);
    Add(0, -1, QStringLiteral("b"), 2);
    Add(0, -1, QStringLiteral("a again"), 1);
    Add(1, -1, QStringLiteral("a elsewhere"), 1);
    EXPECT_EQ(bar.FindItemByUserData(0, 1), 0);
    EXPECT_EQ(bar.RemoveItemByUserData(0, 1), 2);
    EXPECT_EQ(UserDataOf(0), (std::vector<int>{2}));
    EXPECT_EQ(bar.FindItemByUserData(0, 1), -1);
    EXPECT_EQ(bar.FindItemByUserData(1, 1), 0);
    EXPECT_EQ(bar.RemoveItemByUserData(0, 1), 0);
    bar.RemoveAllItem(1);
    EXPECT_EQ(bar.GetItemCount(1), 0);
    EXPECT_EQ(bar.FindItemByUserData(1, 1), -1);
}

TEST_F(OutBarCtrlTest, TabCaptionsAndOfflineFlagAreKept) {
    bar.SetTabText(0, QStringLiteral("我的好友(2/3)"));
    EXPECT_EQ(bar.GetTabText(0), QStringLiteral("我的好友(2/3)"));
    EXPECT_EQ(bar.GetTabText(1), QStringLiteral("陌生人"));
    EXPECT_EQ(bar.GetTabText(3), QString());
    QPixmap face(20, 20);
    face.fill(Qt::red);
    bar.InsertItem(0, -1, QStringLiteral("off"), QStringLiteral("1"), &face, true, 1);
    EXPECT_TRUE(bar.IsItemOffline(0, 0));
}

// Mixed inserts and removals, checked against a plain list after every step: the user-data
// index must never lose or invent an item.
TEST_F(OutBarCtrlTest, LookupsStayRightThroughManyChanges) {
    std::vector<int> expected;
    QRandomGenerator random(7);
    for (int step = 0; step < 3000; ++step) {
        const int userData = random.bounded(40);
        if (random.bounded(3) != 0) {
            const int position = random.bounded(static_cast<int>(expected.size()) + 2) - 1;
            Add(0, position, QStringLiteral("u"), userData);
            const size_t at = position < 0 || position > static_cast<int>(expected.size())
                                  ? expected.size()
                                  : static_cast<size_t>(position);
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), userData);
        } else {
            const auto before = expected.size();
            std::erase(expected, userData);
            ASSERT_EQ(bar.RemoveItemByUserData(0, userData),
                      static_cast<int>(before - expected.size()));
        }
        const int probe = random.bounded(40);
        const auto first = std::find(expected.begin(), expected.end(), probe);
        ASSERT_EQ(bar.FindItemByUserData(0, probe),
                  first == expected.end() ? -1 : static_cast<int>(first - expected.begin()));
    }
    EXPECT_EQ(UserDataOf(0), expected);
}

TEST_F(OutBarCtrlTest, TwoThousandItemsFillAndEmpty) {
    for (int id = 0; id < 2000; ++id)
        Add(0, id % 2 == 0 ? 0 : -1, QStringLiteral("user %1").arg(id), id, id % 2 != 0);
    EXPECT_EQ(bar.GetItemCount(0), 2000);
    EXPECT_EQ(bar.GetItemUserData(0, 0), 1998);
    EXPECT_EQ(bar.GetItemUserData(0, 1999), 1999);
    for (int id = 0; id < 2000; id += 2)
        bar.RemoveItemByUserData(0, id);
    EXPECT_EQ(bar.GetItemCount(0), 1000);
    EXPECT_EQ(bar.FindItemByUserData(0, 1001), 500);
}

TEST_F(OutBarCtrlTest, MovesAndRefilesKeepTheSelectedItemSelected) {
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    for (int id = 1; id <= 50; ++id)
        Add(0, -1, QStringLiteral("user %1").arg(id), id, true);
    ClickItem(4);
    ASSERT_EQ(CurrentUserData(), 5);

    EXPECT_EQ(bar.MoveItem(0, 40, 0), 0);
    EXPECT_EQ(bar.MoveItem(0, 1, 99), 49);
    EXPECT_EQ(bar.MoveItem(0, 77, 0), -1);
    EXPECT_EQ(CurrentUserData(), 5);
    EXPECT_EQ(View().currentIndex().row(), 4);
    // The selected contact comes online: new values, to the top, still selected.
    EXPECT_EQ(
        bar.RefileItem(0, 0, QStringLiteral("online"), QStringLiteral("5"), nullptr, false, 5), 0);
    EXPECT_EQ(View().currentIndex().row(), 0);
    EXPECT_EQ(bar.GetItemText(0, 0), QStringLiteral("online"));
    EXPECT_FALSE(bar.IsItemOffline(0, 0));
    EXPECT_EQ(bar.GetItemCount(0), 50);
    // A contact no tab holds yet is inserted; an unknown tab is refused.
    EXPECT_EQ(bar.RefileItem(1, 0, QStringLiteral("new"), QString(), nullptr, false, 60), 0);
    EXPECT_EQ(bar.RefileItem(5, 0, QStringLiteral("x"), QString(), nullptr, false, 61), -1);
    EXPECT_EQ(LastRowTheViewShows(), 49);
    EXPECT_EQ(bar.GetItemUserData(0, 49), 1);
}

// The window's refill when it is shown: everything removed and added again in another order.
TEST_F(OutBarCtrlTest, ABatchRefillIsOneResetAndKeepsTheSelection) {
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    for (int id = 1; id <= 30; ++id)
        Add(0, -1, QStringLiteral("user %1").arg(id), id);
    ClickItem(2);
    ASSERT_EQ(CurrentUserData(), 3);
    QSignalSpy resets(View().model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(View().model(), &QAbstractItemModel::rowsInserted);

    bar.BeginBatch();
    for (int tab = 0; tab < 3; ++tab)
        bar.RemoveAllItem(tab);
    for (int id = 1; id <= 2000; ++id)
        Add(0, 0, QStringLiteral("user %1").arg(id), id);
    EXPECT_EQ(bar.FindItemByUserData(0, 3), 1997);
    bar.EndBatch();

    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(CurrentUserData(), 3);
    EXPECT_EQ(View().currentIndex().row(), 1997);
    EXPECT_EQ(LastRowTheViewShows(), 1999);

    // A refill without the selected contact leaves nothing selected.
    bar.BeginBatch();
    bar.RemoveItemByUserData(0, 3);
    bar.EndBatch();
    EXPECT_FALSE(View().currentIndex().isValid());
}

TEST_F(OutBarCtrlTest, MouseOnItemsReportsClickRightClickAndDoubleClick) {
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    Add(0, -1, QStringLiteral("a"), 11);
    Add(0, -1, QStringLiteral("b"), 22);
    QSignalSpy spy(&bar, &CSkinOutBarCtrlEx::itemNotify);
    QWidget* viewport = bar.ItemViewport();
    const QPoint second = viewport->mapFrom(&bar, bar.ItemRect(1).center());

    QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, second);
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last(), (QList<QVariant>{CSkinOutBarCtrlEx::NotifyRightClick, 0, 1}));

    spy.clear();
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, second);
    const auto doubleClicks =
        std::count_if(spy.begin(), spy.end(), [](const QList<QVariant>& args) {
            return args.at(0).toInt() == CSkinOutBarCtrlEx::NotifyDoubleClick;
        });
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(spy.last(), (QList<QVariant>{CSkinOutBarCtrlEx::NotifyDoubleClick, 0, 1}));

    spy.clear();
    QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, QPoint(5, viewport->height() - 2));
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(OutBarCtrlTest, ClickingAHeaderOpensThatPanel) {
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const QRect blacklist = bar.TabRect(2);
    EXPECT_GT(blacklist.top(), bar.height() / 2);
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, blacklist.center());
    EXPECT_EQ(bar.GetCurrentTabIndex(), 2);
    EXPECT_LT(bar.TabRect(2).top(), bar.height() / 2);

    Add(2, -1, QStringLiteral("blocked"), 33);
    QSignalSpy spy(&bar, &CSkinOutBarCtrlEx::itemNotify);
    QWidget* viewport = bar.ItemViewport();
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier,
                       viewport->mapFrom(&bar, bar.ItemRect(0).center()));
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last(), (QList<QVariant>{CSkinOutBarCtrlEx::NotifyDoubleClick, 2, 0}));
}

} // namespace
