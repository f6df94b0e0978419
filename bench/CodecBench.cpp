// Encoding and decoding a friend list body of about 65,000 bytes (2,000 entries).

#include "records/FriendRecords.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace pellix;

namespace {

constexpr int kEntries = 2000;

std::vector<FriendEntry> MakeFriends() {
    std::vector<FriendEntry> friends;
    for (int i = 0; i < kEntries; ++i) {
        FriendEntry entry;
        entry.userID = 100000 + i;
        entry.userName = "player" + std::to_string(i);
        // Four GBK characters and a number: a typical Chinese nickname.
        entry.nickName = "\xD0\xA1\xC3\xF7\xBA\xC3\xD3\xD1" + std::to_string(i % 100);
        entry.showID = 900000 + i;
        entry.gender = static_cast<uint8_t>(i % 2);
        entry.online = i % 3 == 0;
        friends.push_back(entry);
    }
    return friends;
}

void EncodeFriendList(CCommandStream& stream, const std::vector<FriendEntry>& friends) {
    stream.Reset();
    stream.WriteInt32(7);
    stream.WriteInt32(kEntries);
    WriteList(stream, friends, WriteFriendEntry);
}

void BM_EncodeFriendList(benchmark::State& state) {
    const auto friends = MakeFriends();
    CCommandStream stream;
    for (auto _ : state) {
        EncodeFriendList(stream, friends);
        benchmark::DoNotOptimize(stream.SendBuffer());
    }
    state.counters["body_bytes"] = static_cast<double>(stream.SendSize());
    state.counters["ns_per_entry"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kEntries,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DecodeFriendList(benchmark::State& state) {
    CCommandStream writer;
    EncodeFriendList(writer, MakeFriends());
    const std::vector<uint8_t> body(writer.SendBuffer(), writer.SendBuffer() + writer.SendSize());
    std::vector<FriendEntry> friends;
    for (auto _ : state) {
        CCommandStream reader;
        reader.Append(body.data(), body.size());
        const int32_t version = reader.ReadInt32();
        const int32_t count = reader.ReadInt32();
        reader.ReadList(friends, ReadFriendEntry);
        benchmark::DoNotOptimize(version + count);
        if (reader.IsTruncated() || friends.size() != kEntries)
            state.SkipWithError("decoded body is incomplete");
    }
    state.counters["body_bytes"] = static_cast<double>(body.size());
    state.counters["ns_per_entry"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kEntries,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_EncodeFriendList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeFriendList)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
