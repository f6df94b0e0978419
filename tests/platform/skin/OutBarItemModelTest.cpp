// The out-bar item model against a plain list: rows, lookups by user data and the items the views
// hold on to, through thousands of inserts, removals, moves and re-filings; batches; shared faces.

#include "skin/OutBarItemModel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// What the reference list holds of an item: its user data, the serial shown as its text, and an
// identity that only a removal ends (a re-filed item keeps its identity).
struct Expected {
    int userData;
    int serial;
    int identity;
};

class OutBarItemModelTest : public ::testing::Test {
protected:
    OutBarItemModelTest() : tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal) {}

    static OutBarItemValues Values(int userData, int serial, const QPixmap* image = nullptr,
                                   bool offline = false) {
        return {QString::number(serial), QString::number(userData), image, offline, userData};
    }

    // The row InsertItem-like calls use: out of range means the end.
    static size_t InsertRow(int position, size_t size) {
        return position < 0 || static_cast<size_t>(position) > size ? size
                                                                    : static_cast<size_t>(position);
    }

    void ExpectSameRows(const std::vector<Expected>& expected) {
        ASSERT_EQ(model.Count(), static_cast<int>(expected.size()));
        for (size_t row = 0; row < expected.size(); ++row) {
            const OutBarItem* item = model.Item(static_cast<int>(row));
            ASSERT_EQ(item->userData, expected[row].userData) << "row " << row;
            ASSERT_EQ(item->text, QString::number(expected[row].serial)) << "row " << row;
        }
    }

    OutBarImageTable images;
    OutBarItemModel model{images};
    QAbstractItemModelTester tester;
};

class OutBarItemModelModes : public OutBarItemModelTest,
                             public ::testing::WithParamInterface<bool> {};

// Batched: in turns of a hundred steps in and out of a batch, where re-filings go mostly to
// either end (the rows a sign-on makes); what views hold is looked at outside batches only.
TEST_P(OutBarItemModelModes, RowsLookupsAndHeldItemsFollowAPlainListThroughManyChanges) {
    const bool batched = GetParam();
    std::vector<Expected> expected;
    std::vector<std::pair<QPersistentModelIndex, int>> held; // index, identity
    QRandomGenerator random(2024);
    int serial = 0;
    const auto identityAt = [&](size_t row) { return expected[row].identity; };
    for (int step = 0; step < 4000; ++step) {
        if (batched && step % 100 == 0) {
            if (step % 200 == 0) {
                model.BeginBatch();
            } else {
                model.EndBatch();
                held.clear();
            }
        }
        const bool inBatch = batched && step % 200 < 100;
        const int size = static_cast<int>(expected.size());
        const int userData = random.bounded(60);
        // In a batch, mostly re-filings, so that several wait to be put in their rows.
        const int kind =
            inBatch && random.bounded(5) != 0 ? 15 + random.bounded(5) : random.bounded(20);
        if (kind < 7 || size == 0) {
            const int position = random.bounded(size + 3) - 1;
            ++serial;
            ASSERT_EQ(model.Insert(position, Values(userData, serial)),
                      static_cast<int>(InsertRow(position, expected.size())));
            expected.insert(expected.begin() +
                                static_cast<std::ptrdiff_t>(InsertRow(position, expected.size())),
                            {userData, serial, serial});
        } else if (kind < 10) {
            const auto before = expected.size();
            std::erase_if(expected, [&](const Expected& e) { return e.userData == userData; });
            ASSERT_EQ(model.RemoveByUserData(userData), static_cast<int>(before - expected.size()));
        } else if (kind < 15) {
            const int from = random.bounded(size);
            const int to = random.bounded(size + 2) - 1;
            const Expected moved = expected[static_cast<size_t>(from)];
            expected.erase(expected.begin() + from);
            const size_t at = to < 0 || to >= size ? expected.size() : static_cast<size_t>(to);
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), moved);
            ASSERT_EQ(model.Move(from, to), static_cast<int>(at));
        } else {
            // A re-filing gives the rows of removing every item of the user and inserting anew.
            const int ends[] = {0, -1, size};
            const int position =
                inBatch && kind < 19 ? ends[random.bounded(3)] : random.bounded(size + 3) - 1;
            const auto first =
                std::find_if(expected.begin(), expected.end(),
                             [&](const Expected& e) { return e.userData == userData; });
            const int identity = first != expected.end() ? first->identity : serial + 1;
            std::erase_if(expected, [&](const Expected& e) { return e.userData == userData; });
            const size_t at = InsertRow(position, expected.size());
            ++serial;
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at),
                            {userData, serial, identity});
            ASSERT_EQ(model.Refile(position, Values(userData, serial)), static_cast<int>(at));
        }

        if (inBatch && step % 10 != 9)
            continue;
        const int probe = random.bounded(60);
        const auto first = std::find_if(expected.begin(), expected.end(),
                                        [&](const Expected& e) { return e.userData == probe; });
        ASSERT_EQ(model.FindByUserData(probe),
                  first == expected.end() ? -1 : static_cast<int>(first - expected.begin()));
        ASSERT_EQ(model.CountOfUserData(probe),
                  std::count_if(expected.begin(), expected.end(),
                                [&](const Expected& e) { return e.userData == probe; }));
        if (inBatch && step % 50 == 49)
            ExpectSameRows(expected);

        // What a view holds on to (its selection, its current item) stays with its item.
        if (inBatch)
            continue;
        for (const auto& [index, identity] : held) {
            const auto found =
                std::find_if(expected.begin(), expected.end(),
                             [&](const Expected& e) { return e.identity == identity; });
            if (found == expected.end()) {
                ASSERT_FALSE(index.isValid()) << "step " << step;
            } else {
                ASSERT_EQ(index.row(), static_cast<int>(found - expected.begin()))
                    << "step " << step;
            }
        }
        if (step % 50 == 0 && !expected.empty()) {
            held.clear();
            for (int i = 0; i < 8; ++i) {
                const size_t row = random.bounded(static_cast<quint32>(expected.size()));
                held.emplace_back(model.index(static_cast<int>(row)), identityAt(row));
            }
        }
        if (step % 100 == 0)
            ExpectSameRows(expected);
    }
    ExpectSameRows(expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, OutBarItemModelModes, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Batched" : "Plain"; });

TEST_F(OutBarItemModelTest, ABatchIsOneResetWithExactLookupsInside) {
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);
    model.BeginBatch();
    model.EndBatch();
    EXPECT_EQ(resets.count(), 0) << "an empty batch says nothing";

    model.BeginBatch();
    for (int id = 0; id < 2000; ++id)
        model.Insert(id % 3 == 0 ? 0 : -1, Values(id, id));
    model.BeginBatch();
    EXPECT_EQ(model.FindByUserData(3), 665);
    EXPECT_EQ(model.Move(model.FindByUserData(1), 0), 0);
    EXPECT_EQ(model.Refile(-1, Values(3, 5000)), 1999);
    EXPECT_EQ(model.RemoveByUserData(0), 1);
    model.EndBatch();
    EXPECT_EQ(resets.count(), 0) << "an inner batch ends nothing";
    model.EndBatch();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(model.rowCount(), 1999);
    EXPECT_EQ(model.FindByUserData(1), 0);
    EXPECT_EQ(model.Item(1998)->text, QStringLiteral("5000"));
}

TEST_F(OutBarItemModelTest, FacesAreSharedAndGreyedOncePerImage) {
    QPixmap face(16, 16);
    face.fill(QColor(200, 40, 40));
    for (int id = 0; id < 100; ++id)
        model.Insert(-1, Values(id, id, &face, id % 2 != 0));
    EXPECT_EQ(images.Count(), 1);
    const auto imageOf = [&](int row) {
        return model.index(row).data(Qt::DecorationRole).value<QPixmap>();
    };
    EXPECT_EQ(imageOf(0).cacheKey(), face.cacheKey()) << "online items show the face itself";
    const QPixmap greyed = imageOf(1);
    EXPECT_NE(greyed.cacheKey(), face.cacheKey());
    EXPECT_EQ(imageOf(99).cacheKey(), greyed.cacheKey());
    const QColor pixel = greyed.toImage().pixelColor(3, 3);
    EXPECT_TRUE(pixel.red() == pixel.green() && pixel.green() == pixel.blue());

    // A new portrait for one contact is held beside the old until nobody shows the old.
    QPixmap newFace(16, 16);
    newFace.fill(Qt::blue);
    model.Refile(0, Values(0, 0, &newFace));
    EXPECT_EQ(images.Count(), 2);
    EXPECT_EQ(imageOf(0).cacheKey(), newFace.cacheKey());
    model.Refile(0, Values(0, 0));
    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(images.Count(), 1);
    model.RemoveAll();
    EXPECT_EQ(images.Count(), 0);
}

} // namespace
