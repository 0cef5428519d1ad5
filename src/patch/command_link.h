// The two operations through which the patch procedure reaches the controller. Each is a whole
// transaction of its own: find and open the controller, move one feature report, close it.
#pragma once

// Sends one command of 0 to 10 bytes. Returns 1 when the controller took the report; 0 when no
// controller was found, the length was outside 0..10 or the write failed.
int SendCommand(const unsigned char* bytes, int length);

// Fetches one reply: at most `maxLength` bytes, and never more than 10, are written to the start
// of `buffer`. Returns the count written; 0, with `buffer` untouched, when no controller was found.
int ReadReply(unsigned char* buffer, unsigned maxLength);
