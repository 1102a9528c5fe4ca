// The put / get functions and frames of the wire format, fed whole, cut and damaged bytes.
#include <gtest/gtest.h>

#include "connection/MemoryTransport.h"
#include "connection/RapiCodec.h"
#include "connection/RapiProtocol.h"

using namespace rapi;

namespace {

std::string Frame(const std::string& body) {
    std::string frame;
    PutU32(frame, static_cast<uint32_t>(body.size()));
    return frame + body;
}

}   // namespace

TEST(Codec, IntegersAreLittleEndianAndRoundTrip) {
    std::string out;
    PutU8(out, 0xAB);
    PutU32(out, 0x01020304u);
    PutU64(out, 0x1122334455667788ull);
    ASSERT_EQ(out.size(), 13u);
    EXPECT_EQ(static_cast<uint8_t>(out[1]), 0x04);
    EXPECT_EQ(static_cast<uint8_t>(out[4]), 0x01);
    std::string_view in(out);
    uint8_t a = 0;
    uint32_t b = 0;
    uint64_t c = 0;
    ASSERT_TRUE(GetU8(in, a) && GetU32(in, b) && GetU64(in, c));
    EXPECT_EQ(a, 0xAB);
    EXPECT_EQ(b, 0x01020304u);
    EXPECT_EQ(c, 0x1122334455667788ull);
    EXPECT_TRUE(in.empty());
}

TEST(Codec, ShortIntegersFailWithoutConsuming) {
    std::string out;
    PutU32(out, 7);
    std::string_view in(out.data(), 3);
    uint32_t value = 99;
    EXPECT_FALSE(GetU32(in, value));
    EXPECT_EQ(value, 99u);
    EXPECT_EQ(in.size(), 3u);
    uint64_t wide = 0;
    std::string_view four(out);
    EXPECT_FALSE(GetU64(four, wide));
}

TEST(Codec, BytesAndTextsRoundTrip) {
    std::string out;
    PutBytes(out, std::string("a\0b", 3));
    PutText(out, CString(u"Gr\u00fc\u00dfe \\Quillmar.dat"));
    PutBytes(out, "");
    std::string_view in(out);
    std::string bytes;
    CString text;
    std::string empty = "x";
    ASSERT_TRUE(GetBytes(in, 10, bytes));
    ASSERT_TRUE(GetText(in, text));
    ASSERT_TRUE(GetBytes(in, 10, empty));
    EXPECT_EQ(bytes, std::string("a\0b", 3));
    EXPECT_EQ(text, CString(u"Gr\u00fc\u00dfe \\Quillmar.dat"));
    EXPECT_TRUE(empty.empty());
}

TEST(Codec, BytesOverTheLimitAreRefusedBeforeReading) {
    std::string out;
    PutBytes(out, std::string(11, 'x'));
    std::string_view in(out);
    std::string bytes;
    EXPECT_FALSE(GetBytes(in, 10, bytes));
    EXPECT_EQ(in.size(), out.size());
    // A length far beyond what follows, as a hostile peer would claim.
    std::string lie;
    PutU32(lie, 0xFFFFFFF0u);
    lie += "abc";
    std::string_view liar(lie);
    EXPECT_FALSE(GetBytes(liar, 0xFFFFFFFFu, bytes));
}

TEST(Codec, TruncatedBytesFail) {
    std::string out;
    PutBytes(out, "hello");
    std::string_view in(out.data(), out.size() - 1);
    std::string bytes;
    EXPECT_FALSE(GetBytes(in, 100, bytes));
}

TEST(Codec, TextWithZeroByteOrAboveLimitIsRefused) {
    std::string withZero;
    PutBytes(withZero, std::string("a\0b", 3));
    std::string_view in(withZero);
    CString text;
    EXPECT_FALSE(GetText(in, text));
    std::string tooLong;
    PutBytes(tooLong, std::string(kMaxText + 1, 'a'));
    std::string_view longIn(tooLong);
    EXPECT_FALSE(GetText(longIn, text));
}

TEST(Frames, WholeFrameIsRead) {
    auto transport = MemoryTransport::FromBytes(Frame("body") + Frame(""));
    std::string body;
    ASSERT_TRUE(ReadFrame(*transport, 100, body, 100).ok());
    EXPECT_EQ(body, "body");
    ASSERT_TRUE(ReadFrame(*transport, 100, body, 100).ok());
    EXPECT_EQ(body, "");
    EXPECT_EQ(ReadFrame(*transport, 100, body, 100).code(), RapiStatus::Code::Closed);
}

TEST(Frames, WriteFramePutsTheLengthFirst) {
    auto [a, b] = MemoryTransport::CreatePair();
    ASSERT_TRUE(WriteFrame(*a, "xyz", 10).ok());
    EXPECT_EQ(a->Sent(), Frame("xyz"));
    std::string body;
    ASSERT_TRUE(ReadFrame(*b, 10, body, 100).ok());
    EXPECT_EQ(body, "xyz");
}

TEST(Frames, TruncatedHeaderOrBodyEndsAsClosed) {
    const std::string frame = Frame("0123456789");
    for (size_t cut = 0; cut < frame.size(); ++cut) {
        auto transport = MemoryTransport::FromBytes(frame.substr(0, cut));
        std::string body = "unchanged";
        RapiStatus status = ReadFrame(*transport, 100, body, 100);
        EXPECT_EQ(status.code(), RapiStatus::Code::Closed) << "cut at " << cut;
        EXPECT_EQ(body, "unchanged");
    }
}

TEST(Frames, OversizedLengthIsRefusedWithoutWaitingForTheBody) {
    std::string header;
    PutU32(header, 0xFFFFFFFFu);
    auto [a, b] = MemoryTransport::CreatePair();
    b->InjectIncoming(header);   // no body follows, and the pipe stays open
    std::string body;
    RapiStatus status = ReadFrame(*b, kMaxFrameBody, body, 5000);
    EXPECT_EQ(status.code(), RapiStatus::Code::TooLarge);
    auto justAbove = MemoryTransport::FromBytes(Frame(std::string(11, 'x')));
    EXPECT_EQ(ReadFrame(*justAbove, 10, body, 100).code(), RapiStatus::Code::TooLarge);
}

TEST(Frames, OversizedBodyIsNotSent) {
    auto [a, b] = MemoryTransport::CreatePair();
    EXPECT_EQ(WriteFrame(*a, std::string(11, 'x'), 10).code(), RapiStatus::Code::TooLarge);
    EXPECT_TRUE(a->Sent().empty());
}

TEST(Frames, SilentPeerTimesOut) {
    auto [a, b] = MemoryTransport::CreatePair();
    std::string body;
    EXPECT_EQ(ReadFrame(*b, 100, body, 30).code(), RapiStatus::Code::TimedOut);
    b->InjectIncoming(std::string("\x05\x00", 2));   // half a header, then silence
    EXPECT_EQ(ReadFrame(*b, 100, body, 30).code(), RapiStatus::Code::TimedOut);
}
