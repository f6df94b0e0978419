#include "UserRange.h"

#include "FriendRelations.h"
#include "text/StringUtility.h"

#include <limits>

namespace pellix::server {

namespace {

std::optional<int32_t> ParseCount(const QString& text, int64_t low) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// Why the range's friends cannot be laid out, or nothing when they can.
QString FriendsProblem(const UserRange& range) {
    if (range.friends > static_cast<int64_t>(FriendRelations::kMaxFriends))
        return QStringLiteral("at most %1 friends fit a friend list")
            .arg(FriendRelations::kMaxFriends);
    if (range.friends >= range.Count())
        return QStringLiteral("%1 users cannot each have %2 friends among them")
            .arg(range.Count())
            .arg(range.friends);
    if (range.friends % 2 != 0 && range.Count() % 2 != 0)
        return QStringLiteral("an odd number of friends each needs an even number of users");
    if (range.Count() * range.friends / 2 > UserRange::kMaxFriendships)
        return QStringLiteral("at most %1 friendships a range").arg(UserRange::kMaxFriendships);
    return {};
}

std::optional<UserRange> ParseUserRange(const QString& text, QString& problem) {
    const QStringList parts = text.split(QLatin1Char(','));
    const QStringList bounds = parts.first().split(QLatin1Char('-'));
    if (parts.size() < 2 || parts.size() > 3 || bounds.size() != 2) {
        problem = QStringLiteral("expected FIRST-LAST,TOKEN[,FRIENDS]");
        return std::nullopt;
    }
    const auto first = ParseCount(bounds[0], 1);
    const auto last = ParseCount(bounds[1], 1);
    const auto friends = parts.size() == 3 ? ParseCount(parts[2], 0) : std::optional<int32_t>(0);
    if (!first || !last || *first > *last || !friends) {
        problem = QStringLiteral("expected positive ids FIRST <= LAST and a number of friends");
        return std::nullopt;
    }
    UserRange range{*first, *last, StringUtility::QStringToAnsi(parts[1]), *friends};
    if (range.Count() > UserRange::kMaxUsers) {
        problem = QStringLiteral("at most %1 users a range").arg(UserRange::kMaxUsers);
        return std::nullopt;
    }
    problem = FriendsProblem(range);
    if (!problem.isEmpty())
        return std::nullopt;
    return range;
}

Account RangeAccount(int32_t userID, const std::string& token) {
    Account account;
    account.userID = userID;
    account.userName = "u" + std::to_string(userID);
    account.nickName = account.userName;
    account.showID = userID;
    account.gender = static_cast<uint8_t>(userID % 2);
    account.token = token;
    return account;
}

} // namespace

bool ParseUserRanges(const QStringList& values, std::vector<UserRange>& ranges, QString& error) {
    for (const QString& value : values) {
        QString problem;
        const std::optional<UserRange> range = ParseUserRange(value, problem);
        for (std::size_t i = 0; range && problem.isEmpty() && i < ranges.size(); ++i) {
            if (range->first <= ranges[i].last && ranges[i].first <= range->last)
                problem = QStringLiteral("overlaps %1-%2").arg(ranges[i].first).arg(ranges[i].last);
        }
        if (!problem.isEmpty()) {
            error = QStringLiteral("bad --add-users '%1': %2").arg(value, problem);
            return false;
        }
        ranges.push_back(*range);
    }
    return true;
}

void AddUserRange(const UserRange& range, AccountBatch& batch) {
    const int64_t count = range.Count();
    const auto userAt = [&range, count](int64_t index) {
        return static_cast<int32_t>(range.first + index % count);
    };
    batch.accounts.reserve(batch.accounts.size() + static_cast<std::size_t>(count));
    for (int64_t index = 0; index < count; ++index)
        batch.accounts.push_back(RangeAccount(userAt(index), range.token));
    for (int64_t step = 1; step <= range.friends / 2; ++step) {
        for (int64_t index = 0; index < count; ++index)
            batch.friendships.emplace_back(userAt(index), userAt(index + step));
    }
    if (range.friends % 2 != 0) {
        for (int64_t index = 0; index < count / 2; ++index)
            batch.friendships.emplace_back(userAt(index), userAt(index + count / 2));
    }
}

} // namespace pellix::server
