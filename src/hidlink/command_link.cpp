// Each operation is a transaction of its own: the controller is found and opened afresh, one
// report moves, and the handle is closed again, so no handle outlives a call.
#include "patch/command_link.h"

#include "hidlink/controller_discovery.h"
#include "hidlink/feature_report.h"

namespace {

// Gives the controller time to take the command before anything opens it again.
const DWORD PauseAfterSend = 20;

} // namespace

int SendCommand(const unsigned char* bytes, int length) {
    HANDLE controller = OpenTouchController();
    if (controller == INVALID_HANDLE_VALUE)
        return 0;
    int written = WriteCommandReport(controller, bytes, length);
    CloseHandle(controller);
    Sleep(PauseAfterSend);
    return written;
}

int ReadReply(unsigned char* buffer, unsigned maxLength) {
    if (maxLength > FeatureReportDataCapacity)
        maxLength = FeatureReportDataCapacity;
    HANDLE controller = OpenTouchController();
    if (controller == INVALID_HANDLE_VALUE)
        return 0;
    int count = ReadReplyReport(controller, buffer, maxLength);
    CloseHandle(controller);
    return count;
}
