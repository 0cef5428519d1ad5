// The controller's command protocol: a command is SOH, two upper-case letters, optional ASCII
// arguments and CR, carried as the data of one feature report; the answer comes back the same way.
#pragma once

// A command frame, or a reply, fills at most the 10 data bytes of one feature report.
const int FrameCapacity = 10;
// Replies are judged in a buffer larger than any read, so that its tail always reads as 0.
const int ReplyBufferSize = 16;
const int VersionTextCapacity = 8;

const unsigned char StartOfHeading = 0x01;
const unsigned char CarriageReturn = 0x0D;

// Each builder fills the start of `frame` and returns the frame's length.
int BuildVersionQueryCommand(unsigned char frame[FrameCapacity]);
int BuildSetParameterCommand(unsigned char frame[FrameCapacity], unsigned char parameterNumber,
                             unsigned short value);
int BuildClosingCommand(unsigned char frame[FrameCapacity]);

// Looks at the first 10 bytes of a zeroed-then-read reply buffer. Returns the length (3 to 8)
// of the version text, which starts at reply[1], or 0 when the reply is no `VersionReply`.
int ParseVersionReply(const unsigned char reply[ReplyBufferSize]);

// Returns 1 when the reply begins with SOH, '0', CR; whatever follows is ignored.
int IsAcknowledgement(const unsigned char reply[ReplyBufferSize]);
