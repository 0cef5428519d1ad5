#include "sim/bus_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace sim {

const char BusLayoutUsage[] =
    "  --version TEXT          the controller's firmware version (default 1.0.7)\n"
    "  --ids VVVV:PPPP         its vendor and product identifiers in hex (default 1234:8888)\n"
    "  --no-controller         no controller on the bus\n"
    "  --decoys N              N other interfaces before it: other devices, and the\n"
    "                          controller's own other collections (default 0)\n"
    "  --silent N              the controller answers nothing to its first N commands\n"
    "  --garble N              then answers noise to the next N commands\n"
    "  --vanish-after N        the controller leaves the bus after N commands\n"
    "  --refuse-parameter HH   never acknowledges parameter HH (hex), e.g. 3C\n"
    "  --refuse-closing        never acknowledges the closing command\n";

namespace {

bool ParseNumber(const std::string& text, int base, long limit, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, base);
    return !text.empty() && *end == '\0' && value >= 0 && value <= limit;
}

struct DecoyKind {
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint16_t usagePage;
    bool sameIdentifiersAsController;
};

// Keyboards and mice, the controller's digitizer and mouse collections, and look-alikes whose
// identifiers are swapped between the two supported pairs.
const DecoyKind DecoyKinds[] = {
    {0x046D, 0xC31C, 0x0001, false},
    {0, 0, 0x000D, true},
    {0x1234, 0x1688, 0xFF00, false},
    {0x045E, 0x0040, 0x0001, false},
    {0, 0, 0x0001, true},
    {0x1BFD, 0x8888, 0xFF00, false},
    {0x0483, 0x5750, 0xFF00, false},
    {0x1BFD, 0x1688, 0x000D, false},
};

bool IsValueOption(const std::string& option) {
    for (const char* known : {"--version", "--ids", "--decoys", "--silent", "--garble",
                              "--vanish-after", "--refuse-parameter"}) {
        if (option == known)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> SplitWords(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

std::string ParseBusLayout(const std::vector<std::string>& words, BusLayout& layout) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& option = words[i];
        bool hasValue = i + 1 < words.size();
        const std::string value = hasValue ? words[i + 1] : std::string();
        long number = 0;
        auto needs = [&](bool ok) { return ok ? std::string() : "bad value for " + option; };
        std::string error;
        if (option == "--help" || option == "-h") {
            layout.help = true;
            continue;
        } else if (option == "--no-controller") {
            layout.controller = false;
            continue;
        } else if (option == "--refuse-closing") {
            layout.behaviour.refuseClosing = true;
            continue;
        } else if (!IsValueOption(option)) {
            return "unknown option " + option;
        } else if (!hasValue) {
            return option + " needs a value";
        } else if (option == "--version") {
            error = needs(!value.empty() && value.size() <= 8);
            layout.behaviour.version = value;
        } else if (option == "--ids") {
            long product = 0;
            std::size_t colon = value.find(':');
            error = needs(colon != std::string::npos &&
                          ParseNumber(value.substr(0, colon), 16, 0xFFFF, number) &&
                          ParseNumber(value.substr(colon + 1), 16, 0xFFFF, product));
            layout.vendorId = static_cast<std::uint16_t>(number);
            layout.productId = static_cast<std::uint16_t>(product);
        } else if (option == "--decoys") {
            error = needs(ParseNumber(value, 10, 4096, number));
            layout.decoys = static_cast<int>(number);
        } else if (option == "--silent") {
            error = needs(ParseNumber(value, 10, 1000, number));
            layout.behaviour.silentExchanges = static_cast<int>(number);
        } else if (option == "--garble") {
            error = needs(ParseNumber(value, 10, 1000, number));
            layout.behaviour.garbledExchanges = static_cast<int>(number);
        } else if (option == "--vanish-after") {
            error = needs(ParseNumber(value, 10, 1000, number));
            layout.behaviour.vanishAfterExchanges = static_cast<int>(number);
        } else if (option == "--refuse-parameter") {
            error = needs(ParseNumber(value, 16, 0xFF, number));
            layout.behaviour.refusedParameters.insert(static_cast<int>(number));
        }
        if (!error.empty())
            return error;
        ++i;
    }
    return {};
}

std::string HidDevicePath(std::uint16_t vendorId, std::uint16_t productId, int collection,
                          int instance) {
    char path[160];
    std::snprintf(path, sizeof path,
                  "\\\\?\\hid#vid_%04x&pid_%04x&col%02d#7&%08x&0&%04d#"
                  "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  vendorId, productId, collection, 0x2a17c0deu + static_cast<unsigned>(instance),
                  instance);
    return path;
}

std::shared_ptr<SimulatedController> BuildBus(const BusLayout& layout, SimulatedBus& bus) {
    for (int i = 0; i < layout.decoys; ++i) {
        const DecoyKind& kind = DecoyKinds[static_cast<std::size_t>(i) % std::size(DecoyKinds)];
        SimulatedInterface decoy;
        decoy.vendorId = kind.sameIdentifiersAsController ? layout.vendorId : kind.vendorId;
        decoy.productId = kind.sameIdentifiersAsController ? layout.productId : kind.productId;
        decoy.usagePage = kind.usagePage;
        decoy.devicePath = HidDevicePath(decoy.vendorId, decoy.productId, 1, i);
        bus.interfaces.push_back(decoy);
    }
    if (!layout.controller)
        return nullptr;
    SimulatedInterface command;
    command.vendorId = layout.vendorId;
    command.productId = layout.productId;
    command.usagePage = 0xFF00;
    command.devicePath = HidDevicePath(layout.vendorId, layout.productId, 2, layout.decoys);
    command.controller = std::make_shared<SimulatedController>(layout.behaviour);
    bus.interfaces.push_back(command);
    return command.controller;
}

bool IsSupportedVendorCollection(const SimulatedInterface& device) {
    bool supported = (device.vendorId == 0x1234 && device.productId == 0x8888) ||
                     (device.vendorId == 0x1BFD && device.productId == 0x1688);
    return supported && device.usagePage == 0xFF00;
}

std::string CheckBusInvariants(const SimulatedBus& bus) {
    std::ostringstream broken;
    if (bus.openHandles != 0)
        broken << bus.openHandles << " handle(s) left open; ";
    if (bus.mostOpenHandles > 1)
        broken << bus.mostOpenHandles << " handles open at once; ";
    if (bus.listsMade != bus.listsDestroyed)
        broken << bus.listsMade << " lists made, " << bus.listsDestroyed << " destroyed; ";
    if (bus.preparsedObtained != bus.preparsedFreed)
        broken << bus.preparsedObtained << " preparsed data obtained, " << bus.preparsedFreed
               << " freed; ";
    for (const TraceEvent& event : bus.trace) {
        if (event.kind == TraceEvent::WriteReport &&
            !IsSupportedVendorCollection(
                bus.interfaces[static_cast<std::size_t>(event.interfaceIndex)])) {
            broken << "feature report written to " << event.text << "; ";
            break;
        }
    }
    return broken.str();
}

namespace {

// The reply bytes that a read of `report` delivers to the reader.
std::string ReplyData(const FeatureReportBytes& report) {
    std::size_t length = std::min<std::size_t>(report[1], 10);
    return std::string(report.begin() + 2, report.begin() + 2 + static_cast<long>(length));
}

std::string Command(const FeatureReportBytes& report) {
    return ReplyData(report).substr(0, 3);
}

bool IsVersionReplyNeedingNoPatch(const std::string& reply) {
    std::size_t end = reply.find('\r');
    if (reply.empty() || reply[0] != '\x01' || end == std::string::npos || end < 4)
        return false;
    std::string text = reply.substr(1, end - 1).c_str(); // a NUL ends the text
    for (const char* patchable : {"1.0.5", "1.0.7", "1.0.8"}) {
        if (text.compare(0, 5, patchable) == 0)
            return false;
    }
    return true;
}

} // namespace

std::string CheckOutcome(const SimulatedBus& bus) {
    bool parameterSent = false;
    bool closingAcknowledged = false;
    bool noPatchNeeded = false;
    std::string lastCommand;
    for (const TraceEvent& event : bus.trace) {
        if (event.kind == TraceEvent::WriteReport) {
            parameterSent = parameterSent || Command(event.report) == "\x01SP";
            // A write that failed reached nothing: what is read next answers an earlier command.
            lastCommand = event.succeeded ? Command(event.report) : std::string();
        }
        if (event.kind == TraceEvent::ReadReport && event.succeeded) {
            std::string reply = ReplyData(event.report);
            closingAcknowledged = closingAcknowledged || (lastCommand == "\x01PL" &&
                                                          reply.compare(0, 3, "\x01\x30\r") == 0);
            noPatchNeeded =
                noPatchNeeded || (lastCommand == "\x01OI" && IsVersionReplyNeedingNoPatch(reply));
        }
    }
    if (bus.messageBoxes.size() > 1)
        return "more than one message box";
    if (bus.messageBoxes.empty())
        return parameterSent ? "no message after parameters were sent" : "";
    const std::string& text = bus.messageBoxes.front().text;
    if (text == "Success to patch touch parameters.") {
        if (noPatchNeeded && !parameterSent)
            return "";
        if (!closingAcknowledged)
            return "success without an acknowledged closing command";
        // When one honest controller took every command, it must hold the whole patch.
        std::set<const SimulatedController*> written;
        for (const TraceEvent& event : bus.trace) {
            if (event.kind != TraceEvent::WriteReport || !event.succeeded)
                continue;
            const auto& controller =
                bus.interfaces[static_cast<std::size_t>(event.interfaceIndex)].controller;
            if (controller)
                written.insert(controller.get());
        }
        const std::map<int, int> patch = {{0x3B, 200}, {0x3C, 120}, {0x3E, 256}};
        if (written.size() == 1) {
            const SimulatedController& controller = **written.begin();
            if (!controller.GavePlantedAnswers() &&
                (controller.Parameters() != patch || !controller.PatchStored()))
                return "success, but the controller does not hold the stored patch";
        }
        return "";
    }
    if (text == "Patch error.")
        return parameterSent ? "" : "patch error before any parameter was sent";
    return "unexpected message \"" + text + "\"";
}

} // namespace sim
