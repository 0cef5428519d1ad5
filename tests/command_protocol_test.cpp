#include "patch/command_protocol.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using testbytes::Bytes;
using testbytes::Hex;
using testbytes::Parse;

namespace {

Bytes Frame(const unsigned char* frame, int length) {
    return Bytes(frame, frame + length);
}

// A reply as the procedure holds it: a zeroed 16-byte buffer with the received bytes in front.
struct ReplyBuffer {
    unsigned char bytes[ReplyBufferSize];
    explicit ReplyBuffer(const std::string& text) {
        std::memset(bytes, 0, sizeof bytes);
        Bytes parsed = Parse(text);
        std::copy(parsed.begin(), parsed.end(), bytes);
    }
};

TEST(CommandFrames, AreBuiltByteForByte) {
    unsigned char frame[FrameCapacity];
    EXPECT_EQ(Hex(Frame(frame, BuildVersionQueryCommand(frame))), Hex(Parse("01 'OI' 0D")));
    EXPECT_EQ(Hex(Frame(frame, BuildClosingCommand(frame))), Hex(Parse("01 'PL' 0D")));

    struct {
        unsigned char number;
        unsigned short value;
        const char* frame;
    } const cases[] = {
        {0x3B, 200, "01 'SP3B00C8' 0D"},    {0x3C, 120, "01 'SP3C0078' 0D"},
        {0x3E, 256, "01 'SP3E0100' 0D"},    {0x00, 0, "01 'SP000000' 0D"},
        {0xFF, 0xFFFF, "01 'SPFFFFFF' 0D"}, {0x0A, 0xABCD, "01 'SP0AABCD' 0D"},
    };
    for (const auto& c : cases) {
        std::memset(frame, 0xEE, sizeof frame);
        EXPECT_EQ(Hex(Frame(frame, BuildSetParameterCommand(frame, c.number, c.value))),
                  Hex(Parse(c.frame)));
    }
}

TEST(CommandFrames, AShorterFrameOverALongerOneSendsOnlyItsOwnBytes) {
    unsigned char frame[FrameCapacity];
    BuildSetParameterCommand(frame, 0x3E, 256);
    int length = BuildClosingCommand(frame);
    EXPECT_EQ(Hex(Frame(frame, length)), Hex(Parse("01 'PL' 0D")));
}

TEST(VersionReplies, AreFoundByTheFirstCarriageReturn) {
    struct {
        const char* reply;
        const char* text; // nullptr: not a version reply
    } const cases[] = {
        {"01 '1.0.7' 0D", "1.0.7"},
        {"01 '1.0' 0D", "1.0"},             // CR at 4: the shortest text
        {"01 '1.0.5' 0D 'junk'", "1.0.5"},  // bytes behind the CR are ignored
        {"01 '12345678' 0D", "12345678"},   // CR at 9: the longest text
        {"01 '1.' 0D", nullptr},            // CR at 3
        {"01 '1.' 0D '1.0.5' 0D", nullptr}, // only the first CR counts
        {"01 '123456789' 0D", nullptr},     // CR at 10
        {"01 '1.0.7'", nullptr},            // no CR
        {"02 '1.0.7' 0D", nullptr},         // no SOH
        {"", nullptr},                      // nothing received
        {"0D '1.0.7' 0D", nullptr},
    };
    for (const auto& c : cases) {
        ReplyBuffer reply(c.reply);
        int length = ParseVersionReply(reply.bytes);
        if (c.text == nullptr) {
            EXPECT_EQ(length, 0) << c.reply;
        } else {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(reply.bytes + 1),
                                  static_cast<std::size_t>(length)),
                      c.text)
                << c.reply;
        }
    }
}

TEST(Acknowledgements, NeedSohZeroAndCarriageReturn) {
    struct {
        const char* reply;
        bool accepted;
    } const cases[] = {
        {"01 30 0D", true},  {"01 30 0D 41", true}, {"01 31 0D", false},
        {"01 30 0A", false}, {"02 30 0D", false},   {"", false},
        {"01 30", false},    {"30 0D", false},      {"01 '1.0.7' 0D", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAcknowledgement(ReplyBuffer(c.reply).bytes) != 0, c.accepted) << c.reply;
}

} // namespace
