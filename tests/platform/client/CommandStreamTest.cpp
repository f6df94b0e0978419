#include "client/CommandStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const CCommandStream& stream) {
    return {stream.SendBuffer(), stream.SendBuffer() + stream.SendSize()};
}

CCommandStream Reading(const std::vector<uint8_t>& body) {
    CCommandStream stream;
    stream.Append(body.data(), body.size());
    return stream;
}

struct Pair {
    int32_t id = 0;
    std::string name;
};

void ReadPair(CCommandStream& stream, Pair& pair) {
    pair.id = stream.ReadInt32();
    stream.ReadString(pair.name);
}

} // namespace

TEST(CommandStream, WritesIntegerThenStringWithoutPadding) {
    CCommandStream stream;
    stream.WriteInt32(1);
    stream.WriteString("abc");
    EXPECT_EQ(Bytes(stream), (std::vector<uint8_t>{0x01, 0, 0, 0, 'a', 'b', 'c', 0}));
    EXPECT_EQ(stream.Length(), 8);
}

TEST(CommandStream, WritesNegativeIntegersLittleEndian) {
    CCommandStream stream;
    stream.WriteInt32(-1);
    stream.WriteInt32(0x12345678);
    EXPECT_EQ(Bytes(stream),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}));
}

TEST(CommandStream, AppendOfNullChangesNothing) {
    CCommandStream stream;
    stream.WriteByte(7);
    stream.Append(nullptr, 5);
    EXPECT_EQ(Bytes(stream), (std::vector<uint8_t>{7}));
    EXPECT_EQ(stream.Length(), 1);
}

TEST(CommandStream, ResetReleasesBytesAndKeepsSubCommand) {
    CCommandStream stream(16);
    stream.SetSubCommand(21);
    stream.WriteString("hello");
    stream.Reset();
    EXPECT_EQ(stream.SendSize(), 0u);
    EXPECT_EQ(stream.Length(), 0);
    EXPECT_EQ(stream.SubCommand(), 21);
    stream.WriteByte(3);
    EXPECT_EQ(Bytes(stream), (std::vector<uint8_t>{3}));
}

TEST(CommandStream, ReadsStringsWithAndWithoutTerminator) {
    auto unterminated = Reading({'a', 'b'});
    std::string text = "old";
    unterminated.ReadString(text);
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(unterminated.ReadPosition(), 2);
    EXPECT_FALSE(unterminated.IsTruncated());

    auto empty = Reading({0, 'x', 0});
    empty.ReadString(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(empty.ReadPosition(), 1);
    empty.ReadString(text);
    EXPECT_EQ(text, "x");

    auto nothing = Reading({});
    text = "old";
    nothing.ReadString(text);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(nothing.IsTruncated());
}

TEST(CommandStream, BooleanIsTrueOnlyForPositiveSignedBytes) {
    auto stream = Reading({0x80, 0x01, 0x7F, 0x00, 0xFF});
    EXPECT_FALSE(stream.ReadBool());
    EXPECT_TRUE(stream.ReadBool());
    EXPECT_TRUE(stream.ReadBool());
    EXPECT_FALSE(stream.ReadBool());
    EXPECT_FALSE(stream.ReadBool());
    EXPECT_FALSE(stream.IsTruncated());
}

TEST(CommandStream, ShortFixedWidthReadsYieldZeroAndMarkTruncation) {
    auto threeBytes = Reading({1, 2, 3});
    EXPECT_EQ(threeBytes.ReadInt32(), 0);
    EXPECT_TRUE(threeBytes.IsTruncated());
    EXPECT_EQ(threeBytes.ReadPosition(), 3);
    EXPECT_EQ(threeBytes.ReadByte(), 0);
    EXPECT_EQ(threeBytes.BytesLeft(), 0u);

    auto empty = Reading({});
    EXPECT_EQ(empty.ReadByte(), 0);
    EXPECT_FALSE(empty.ReadBool());
    EXPECT_TRUE(empty.IsTruncated());

    auto exact = Reading({5, 0, 0, 0});
    EXPECT_EQ(exact.ReadInt32(), 5);
    EXPECT_FALSE(exact.IsTruncated());
}

TEST(CommandStream, ListsReadEveryEntryOrStopAtTheEnd) {
    CCommandStream writer;
    writer.WriteUInt32(2);
    writer.WriteInt32(10);
    writer.WriteString("ten");
    writer.WriteInt32(-20);
    writer.WriteString("");
    auto whole = Reading(Bytes(writer));
    std::vector<Pair> pairs{{99, "stale"}};
    whole.ReadList(pairs, ReadPair);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].id, 10);
    EXPECT_EQ(pairs[0].name, "ten");
    EXPECT_EQ(pairs[1].id, -20);
    EXPECT_FALSE(whole.IsTruncated());

    auto emptyList = Reading({0, 0, 0, 0, 0xAA});
    emptyList.ReadList(pairs, ReadPair);
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(emptyList.ReadPosition(), 4);
    EXPECT_FALSE(emptyList.IsTruncated());
}

TEST(CommandStream, OversizedCountsAndCutEntriesAreTruncation) {
    // A count of four billion entries with one entry's worth of bytes behind it.
    auto huge = Reading({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'a', 0});
    std::vector<Pair> pairs;
    huge.ReadList(pairs, ReadPair);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].name, "a");
    EXPECT_TRUE(huge.IsTruncated());

    // The second entry's id is cut after two bytes: it is not kept.
    auto cut = Reading({2, 0, 0, 0, 1, 0, 0, 0, 0, 7, 0});
    cut.ReadList(pairs, ReadPair);
    EXPECT_EQ(pairs.size(), 1u);
    EXPECT_TRUE(cut.IsTruncated());

    auto noCount = Reading({2, 0});
    noCount.ReadList(pairs, ReadPair);
    EXPECT_TRUE(pairs.empty());
    EXPECT_TRUE(noCount.IsTruncated());
}

TEST(CommandStream, EveryPrefixOfAValidBodyDecodesWithinItsBytes) {
    CCommandStream writer;
    writer.WriteInt32(42);
    writer.WriteString("name");
    writer.WriteByte(9);
    writer.WriteBool(true);
    const auto full = Bytes(writer);
    for (std::size_t size = 0; size <= full.size(); ++size) {
        auto stream = Reading({full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)});
        std::string name;
        const int32_t id = stream.ReadInt32();
        stream.ReadString(name);
        const uint8_t byte = stream.ReadByte();
        const bool flag = stream.ReadBool();
        EXPECT_LE(static_cast<std::size_t>(stream.ReadPosition()), size);
        EXPECT_EQ(stream.IsTruncated(), size < full.size()) << size;
        if (size == full.size()) {
            EXPECT_EQ(id, 42);
            EXPECT_EQ(name, "name");
            EXPECT_EQ(byte, 9);
            EXPECT_TRUE(flag);
        }
    }
}
