#include "client/FrameCodec.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace FrameCodec;

namespace {

QByteArray Bytes(std::initializer_list<uint8_t> values) {
    QByteArray bytes;
    for (uint8_t value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray Body(const Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.body.data()),
                      static_cast<qsizetype>(frame.body.size()));
}

// Feeds the stream in pieces of chunkSize and collects every whole frame.
std::vector<Frame> ReadAll(const QByteArray& stream, qsizetype chunkSize, FrameReader& reader) {
    std::vector<Frame> frames;
    for (qsizetype start = 0; start < stream.size(); start += chunkSize) {
        const QByteArray chunk = stream.mid(start, chunkSize);
        qsizetype offset = 0;
        while (offset < chunk.size()) {
            offset += static_cast<qsizetype>(reader.Feed(
                chunk.constData() + offset, static_cast<std::size_t>(chunk.size() - offset)));
            if (std::optional<Frame> frame = reader.TakeFrame())
                frames.push_back(std::move(*frame));
        }
    }
    return frames;
}

} // namespace

TEST(FrameCodec, EncodesLittleEndianHeaderBeforeBody) {
    EXPECT_EQ(EncodeFrame(0x000E, 0x1234, "abc", 3),
              Bytes({0x0E, 0x00, 0x34, 0x12, 0x03, 0x00, 'a', 'b', 'c'}));
    EXPECT_EQ(EncodeFrame(0, kPingSubCmd, nullptr, 0), Bytes({0, 0, 1, 0, 0, 0}));

    const QByteArray largest(static_cast<qsizetype>(kMaxBodySize), 'z');
    EXPECT_EQ(EncodeFrame(1, 2, largest.constData(), kMaxBodySize).size(),
              static_cast<qsizetype>(kMaxFrameSize));
    const QByteArray tooLong(static_cast<qsizetype>(kMaxBodySize) + 1, 'z');
    EXPECT_TRUE(EncodeFrame(1, 2, tooLong.constData(), kMaxBodySize + 1).isEmpty());
    EXPECT_TRUE(EncodeFrame(1, 2, nullptr, 4).isEmpty());
}

TEST(FrameCodec, HeaderNeedsAllSixBytes) {
    const uint8_t header[] = {0xFF, 0xFF, 0x01, 0x80, 0x10, 0x00};
    FrameHeader decoded;
    EXPECT_FALSE(DecodeHeader(header, 5, decoded));
    ASSERT_TRUE(DecodeHeader(header, 6, decoded));
    EXPECT_EQ(decoded.subCmd, 0x8001);
    EXPECT_EQ(decoded.bodyLength, 0x10);
}

TEST(FrameCodec, ReaderRecoversEveryFrameWhateverTheSplit) {
    const QByteArray largest(static_cast<qsizetype>(kMaxBodySize), '\x5A');
    const std::vector<std::pair<FrameHeader, QByteArray>> sent = {
        {{14, 22, 5}, QByteArray("hello")},
        {{0, kPingSubCmd, 0}, QByteArray()},
        {{0xFFFF, 0xFFFF, 3}, QByteArray("\0\1\2", 3)},
        {{7, 1, static_cast<uint16_t>(kMaxBodySize)}, largest},
    };
    QByteArray stream;
    for (const auto& [header, body] : sent)
        stream += EncodeFrame(header.mainCmd, header.subCmd, body.constData(),
                              static_cast<std::size_t>(body.size()));

    for (qsizetype chunkSize : {qsizetype{1}, qsizetype{5}, qsizetype{7}, stream.size()}) {
        SCOPED_TRACE(chunkSize);
        FrameReader reader;
        const std::vector<Frame> frames = ReadAll(stream, chunkSize, reader);
        ASSERT_EQ(frames.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(frames[i].header.mainCmd, sent[i].first.mainCmd);
            EXPECT_EQ(frames[i].header.subCmd, sent[i].first.subCmd);
            EXPECT_EQ(frames[i].header.bodyLength, sent[i].first.bodyLength);
            EXPECT_EQ(Body(frames[i]), sent[i].second);
        }
        EXPECT_EQ(reader.BufferedSize(), 0u);
        EXPECT_FALSE(reader.IsMidFrame());
    }
}

TEST(FrameCodec, ReaderHoldsIncompleteFramesWithoutPassingThemOn) {
    FrameReader reader;
    const QByteArray shortHeader = Bytes({14, 0, 1, 0, 10});
    EXPECT_EQ(reader.Feed(shortHeader.constData(), 5), 5u);
    EXPECT_FALSE(reader.TakeFrame().has_value());
    EXPECT_TRUE(reader.IsMidFrame());
    EXPECT_EQ(reader.Missing(), 1u);

    // The length promises ten bytes; four arrive.
    const QByteArray rest = Bytes({0, 'a', 'b', 'c', 'd'});
    EXPECT_EQ(reader.Feed(rest.constData(), 5), 5u);
    EXPECT_FALSE(reader.TakeFrame().has_value());
    EXPECT_EQ(reader.Missing(), 6u);

    reader.Reset();
    EXPECT_FALSE(reader.IsMidFrame());
    const QByteArray next = EncodeFrame(14, 2, "ok", 2);
    std::vector<Frame> frames = ReadAll(next, next.size(), reader);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Body(frames[0]), QByteArray("ok"));
}

TEST(FrameCodec, ReaderNeverTakesMoreThanOneFrame) {
    const QByteArray body(static_cast<qsizetype>(kMaxBodySize), 'q');
    const QByteArray two = EncodeFrame(1, 1, body.constData(), kMaxBodySize) +
                           EncodeFrame(1, 2, body.constData(), kMaxBodySize);
    FrameReader reader;
    EXPECT_EQ(reader.Feed(two.constData(), static_cast<std::size_t>(two.size())), kMaxFrameSize);
    EXPECT_EQ(reader.BufferedSize(), kMaxFrameSize);
    // A whole frame waiting blocks further bytes until it is taken.
    EXPECT_EQ(reader.Feed(two.constData() + kMaxFrameSize, 6), 0u);
    ASSERT_TRUE(reader.TakeFrame().has_value());
    EXPECT_EQ(reader.Feed(two.constData() + kMaxFrameSize, 6), 6u);
    EXPECT_EQ(reader.Missing(), kMaxBodySize);
}
