// The setup API and the HID class driver over a simulated bus, for each face that presents the
// bus to a program: the host stand-in, and the simulated Windows DLLs. The calls check their
// callers as Windows does where that catches real faults: record sizes, buffer sizes, lists and
// handles that are not open.
#pragma once

#include "platform/win32.h"
#include "sim/simulated_bus.h"

#include <cstdint>

namespace sim {

// Each face provides these: the bus behind the calls, and the bus interface that an open handle
// stands for (-1 for none).
SimulatedBus& FaceBus();
int FaceInterfaceOf(HANDLE handle);

// Bus numbers travel in the platform's opaque handles.
inline long IdOf(const void* pointer) {
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <typename T> T FromId(long id) {
    return reinterpret_cast<T>(static_cast<std::uintptr_t>(id));
}

} // namespace sim
