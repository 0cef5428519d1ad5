#include "hidlink/feature_report.h"

#include <cstring>

namespace {

const DWORD PauseAfterWrite = 10;

} // namespace

int WriteCommandReport(HANDLE handle, const unsigned char* bytes, int length) {
    unsigned char report[FeatureReportSize];

    if (handle == INVALID_HANDLE_VALUE || length < 0 || length > FeatureReportDataCapacity)
        return 0;

    std::memset(report, 0, sizeof report);
    report[0] = CommandReportId;
    report[1] = static_cast<unsigned char>(length);
    if (length > 0)
        std::memcpy(report + 2, bytes, static_cast<std::size_t>(length));

    // The length handed over is the report's fixed size, never the collection's reported one.
    int written = HidD_SetFeature(handle, report, FeatureReportSize) ? 1 : 0;
    Sleep(PauseAfterWrite);
    return written;
}

int ReadReplyReport(HANDLE handle, unsigned char* buffer, unsigned maxLength) {
    unsigned char report[FeatureReportSize];

    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    if (maxLength > FeatureReportDataCapacity)
        maxLength = FeatureReportDataCapacity;

    std::memset(report, 0, sizeof report);
    report[0] = CommandReportId;
    // A failed read leaves the cleared report, whose length byte 0 yields an empty reply.
    HidD_GetFeature(handle, report, FeatureReportSize);

    // The length byte comes from the device: unsigned, and bounded by the read and the report.
    unsigned count = report[1];
    if (count > maxLength)
        count = maxLength;
    std::memcpy(buffer, report + 2, count);
    return static_cast<int>(count);
}
