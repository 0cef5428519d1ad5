// Machines to run against: a bus with the touch controller, decoy interfaces before it, and the
// controller's behaviour, described by the options that touchpatch-sim takes on its command
// line and the simulated Windows DLLs take from TOUCHPATCH_SIMBUS.
#pragma once

#include "sim/simulated_bus.h"

#include <string>
#include <vector>

namespace sim {

struct BusLayout {
    bool controller = true;
    std::uint16_t vendorId = 0x1234;
    std::uint16_t productId = 0x8888;
    int decoys = 0;
    ControllerBehaviour behaviour;
    bool help = false;
};

extern const char BusLayoutUsage[];

// Returns an empty string, or what is wrong with the options.
std::string ParseBusLayout(const std::vector<std::string>& words, BusLayout& layout);
std::vector<std::string> SplitWords(const std::string& text);

// Device paths as Windows shows them for a HID collection.
std::string HidDevicePath(std::uint16_t vendorId, std::uint16_t productId, int collection,
                          int instance);

// Lays the interfaces out on `bus`: the decoys first, then the controller's vendor collection.
// Returns the controller, null when the layout has none.
std::shared_ptr<SimulatedController> BuildBus(const BusLayout& layout, SimulatedBus& bus);

// What must hold after any run over a bus: no handle left open and never two at once, every
// list destroyed, every preparsed data freed, and feature reports written only to a supported
// controller's vendor collection. Returns an empty string, or the first thing that broke.
std::string CheckBusInvariants(const SimulatedBus& bus);
bool IsSupportedVendorCollection(const SimulatedInterface& device);

// Whether the message shown fits what crossed the bus: "Success to patch touch parameters." only
// after an acknowledged closing command or a version reply that needs no patch; "Patch error."
// only after a parameter was sent; no message only when no parameter was ever sent and the
// version query got no valid answer. Returns an empty string, or what does not fit.
std::string CheckOutcome(const SimulatedBus& bus);

} // namespace sim
