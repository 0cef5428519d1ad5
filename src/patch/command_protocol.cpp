#include "command_protocol.h"

#include <cstdio>

namespace {

int BuildTwoLetterCommand(unsigned char frame[FrameCapacity], char first, char second) {
    frame[0] = StartOfHeading;
    frame[1] = static_cast<unsigned char>(first);
    frame[2] = static_cast<unsigned char>(second);
    frame[3] = CarriageReturn;
    return 4;
}

} // namespace

int BuildVersionQueryCommand(unsigned char frame[FrameCapacity]) {
    return BuildTwoLetterCommand(frame, 'O', 'I');
}

int BuildClosingCommand(unsigned char frame[FrameCapacity]) {
    return BuildTwoLetterCommand(frame, 'P', 'L');
}

int BuildSetParameterCommand(unsigned char frame[FrameCapacity], unsigned char parameterNumber,
                             unsigned short value) {
    // Two and four hex digits plus the formatter's NUL, which the CR then overwrites.
    char arguments[7];
    std::snprintf(arguments, sizeof arguments, "%02X%04X", static_cast<unsigned>(parameterNumber),
                  static_cast<unsigned>(value));
    frame[0] = StartOfHeading;
    frame[1] = 'S';
    frame[2] = 'P';
    for (int i = 0; i < 6; ++i)
        frame[3 + i] = static_cast<unsigned char>(arguments[i]);
    frame[9] = CarriageReturn;
    return 10;
}

int ParseVersionReply(const unsigned char reply[ReplyBufferSize]) {
    int end = 0;
    while (end < FrameCapacity && reply[end] != CarriageReturn)
        ++end;
    // The first CR alone counts: one at 0..3 leaves too short a text even if another follows.
    if (end <= 3 || end >= FrameCapacity || reply[0] != StartOfHeading)
        return 0;
    return end - 1;
}

int IsAcknowledgement(const unsigned char reply[ReplyBufferSize]) {
    return reply[0] == StartOfHeading && reply[1] == '0' && reply[2] == CarriageReturn;
}
