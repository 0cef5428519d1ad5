// One command or one reply travels as feature report 1: the report ID, a length byte, ten data
// bytes and a closing zero byte, always handed to the platform as 13 bytes.
#pragma once

#include "platform/win32.h"

const int FeatureReportSize = 13;
const int FeatureReportDataCapacity = 10;
const unsigned char CommandReportId = 0x01;

// Writes `length` bytes (0..10) as one feature report and pauses 10 ms. Returns 1 when the
// platform took the report; 0 when it did not, or, with no pause, for an invalid handle or a
// length outside 0..10.
int WriteCommandReport(HANDLE handle, const unsigned char* bytes, int length);

// Reads feature report 1 and copies at most `maxLength` (capped at 10) of its data bytes, as many
// as its length byte counts, to the start of `buffer`. Returns the number copied.
int ReadReplyReport(HANDLE handle, unsigned char* buffer, unsigned maxLength);
