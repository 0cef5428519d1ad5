// Reading a feature report whose 13 bytes, and the reader's maxLength, come from the input: the
// copy takes exactly min(maxLength, 10, length byte) bytes from offset 2, and nothing else moves.
#include "fuzz_check.h"
#include "hidlink/feature_report.h"
#include "platform/host/host_platform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    unsigned maxLength = 0;
    std::memcpy(&maxLength, data, sizeof maxLength);
    sim::FeatureReportBytes held{};
    std::copy_n(data + 4, std::min<std::size_t>(size - 4, held.size()), held.begin());

    sim::SimulatedBus bus;
    hostplatform::ScopedBus scoped(bus);
    sim::SimulatedInterface device;
    device.devicePath = "controller";
    device.vendorId = 0x1234;
    device.productId = 0x8888;
    device.usagePage = 0xFF00;
    device.controller = std::make_shared<sim::SimulatedController>();
    device.controller->Hold(held);
    bus.interfaces.push_back(device);

    HANDLE handle = CreateFileA("controller", 0, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    const unsigned char Sentinel = 0xA5;
    unsigned char buffer[32];
    std::memset(buffer, Sentinel, sizeof buffer);
    int count = ReadReplyReport(handle, buffer + 8, maxLength);
    CloseHandle(handle);

    unsigned expected = std::min({maxLength, 10u, static_cast<unsigned>(held[1])});
    FuzzCheck(count == static_cast<int>(expected), "count is not min(maxLength, 10, length byte)");
    FuzzCheck(std::memcmp(buffer + 8, held.data() + 2, expected) == 0, "copied the wrong bytes");
    for (std::size_t i = 0; i < sizeof buffer; ++i) {
        if (i < 8 || i >= 8 + expected)
            FuzzCheck(buffer[i] == Sentinel, "wrote outside the copied bytes");
    }
    FuzzCheck(bus.openHandles == 0, "handle left open");
    return 0;
}
