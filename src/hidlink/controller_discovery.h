// Finding the touch controller's command collection among the machine's HID device interfaces.
#pragma once

#include "platform/win32.h"

// Walks the present HID interfaces from the first and returns an open handle to the first that
// belongs to a supported controller and carries its vendor-defined collection; the caller closes
// it. Returns INVALID_HANDLE_VALUE when there is none. Nothing is remembered between calls.
HANDLE OpenTouchController();

// Fills `caps` for an open HID handle. Returns 1 only when it did; the preparsed data is freed
// whenever it was obtained.
int QueryHidCaps(HANDLE handle, HIDP_CAPS* caps);
