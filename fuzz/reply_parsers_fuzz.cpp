// The reply parsers over any reply buffer: they look at bytes 0..9 alone, a version text is 3 to 8
// bytes between SOH and the first CR, and an acknowledgement is SOH '0' CR.
#include "fuzz_check.h"
#include "patch/command_protocol.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char reply[ReplyBufferSize] = {};
    std::memcpy(reply, data, std::min<std::size_t>(size, sizeof reply));
    int length = ParseVersionReply(reply);
    int acknowledged = IsAcknowledgement(reply);

    unsigned char readable[ReplyBufferSize] = {};
    std::memcpy(readable, reply, FrameCapacity);
    FuzzCheck(ParseVersionReply(readable) == length && IsAcknowledgement(readable) == acknowledged,
              "a parser looked past the ten bytes a read can deliver");

    const unsigned char* carriageReturn =
        static_cast<const unsigned char*>(std::memchr(reply, 0x0D, FrameCapacity));
    int first = carriageReturn ? static_cast<int>(carriageReturn - reply) : FrameCapacity;
    bool versionReply = reply[0] == 0x01 && first >= 4 && first <= 9;
    FuzzCheck(versionReply ? length == first - 1 : length == 0, "version reply misjudged");
    FuzzCheck(length == 0 || (length >= 3 && length <= VersionTextCapacity),
              "version text length out of range");
    FuzzCheck((acknowledged != 0) == (reply[0] == 0x01 && reply[1] == 0x30 && reply[2] == 0x0D),
              "acknowledgement misjudged");
    return 0;
}
