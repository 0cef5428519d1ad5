#include "sim/simulated_bus.h"

#include <thread>

namespace sim {

const char* CallName(PlatformCall call) {
    switch (call) {
    case PlatformCall::GetClassDevs:
        return "SetupDiGetClassDevsA";
    case PlatformCall::EnumDeviceInterfaces:
        return "SetupDiEnumDeviceInterfaces";
    case PlatformCall::DetailSizeQuery:
        return "SetupDiGetDeviceInterfaceDetailA(size)";
    case PlatformCall::DetailFetch:
        return "SetupDiGetDeviceInterfaceDetailA";
    case PlatformCall::CreateFile:
        return "CreateFileA";
    case PlatformCall::GetAttributes:
        return "HidD_GetAttributes";
    case PlatformCall::GetPreparsedData:
        return "HidD_GetPreparsedData";
    case PlatformCall::GetCaps:
        return "HidP_GetCaps";
    case PlatformCall::SetFeature:
        return "HidD_SetFeature";
    case PlatformCall::GetFeature:
        return "HidD_GetFeature";
    }
    return "?";
}

const char* FailureName(Failure failure) {
    switch (failure) {
    case Failure::None:
        return "none";
    case Failure::FalseResult:
        return "false result";
    case Failure::InvalidHandle:
        return "invalid handle";
    case Failure::NoSize:
        return "no size";
    case Failure::ShortSize:
        return "short size";
    case Failure::WrongSize:
        return "wrong size";
    case Failure::EmptyData:
        return "empty data";
    case Failure::ShortData:
        return "short data";
    }
    return "?";
}

std::vector<Failure> FailuresOf(PlatformCall call) {
    switch (call) {
    case PlatformCall::GetClassDevs:
    case PlatformCall::CreateFile:
        return {Failure::InvalidHandle};
    case PlatformCall::DetailSizeQuery:
        return {Failure::NoSize, Failure::ShortSize, Failure::WrongSize};
    case PlatformCall::GetFeature:
        return {Failure::FalseResult, Failure::EmptyData, Failure::ShortData};
    default:
        return {Failure::FalseResult};
    }
}

Failure SimulatedBus::Inject(PlatformCall call, int interfaceIndex) {
    ++injectableCalls;
    if (!inject)
        return Failure::None;
    return inject(CallSite{call, interfaceIndex, injectableCalls});
}

void SimulatedBus::Record(TraceEvent event) {
    event.timeMs = NowMs();
    if (onEvent)
        onEvent(event);
    trace.push_back(std::move(event));
}

bool SimulatedBus::InterfacePresent(int interfaceIndex) const {
    if (interfaceIndex < 0 || interfaceIndex >= static_cast<int>(interfaces.size()))
        return false;
    const auto& controller = interfaces[static_cast<std::size_t>(interfaceIndex)].controller;
    return !controller || controller->Present();
}

long SimulatedBus::MakeList() {
    if (Inject(PlatformCall::GetClassDevs, -1) != Failure::None)
        return 0;
    std::vector<int> present;
    for (int i = 0; i < static_cast<int>(interfaces.size()); ++i) {
        if (InterfacePresent(i))
            present.push_back(i);
    }
    long list = nextId_++;
    lists_[list] = std::move(present);
    ++listsMade;
    return list;
}

bool SimulatedBus::DestroyList(long list) {
    if (lists_.erase(list) == 0)
        return false;
    ++listsDestroyed;
    return true;
}

bool SimulatedBus::ListIsOpen(long list) const {
    return lists_.count(list) != 0;
}

int SimulatedBus::EnumerateInterface(long list, long member) {
    auto found = lists_.find(list);
    if (found == lists_.end() || member < 0 || member >= static_cast<long>(found->second.size()))
        return -1;
    int interfaceIndex = found->second[static_cast<std::size_t>(member)];
    if (Inject(PlatformCall::EnumDeviceInterfaces, interfaceIndex) != Failure::None)
        return -1;
    return interfaceIndex;
}

Failure SimulatedBus::DetailSizeFailure(int interfaceIndex) {
    return Inject(PlatformCall::DetailSizeQuery, interfaceIndex);
}

bool SimulatedBus::DetailFetchFails(int interfaceIndex) {
    return Inject(PlatformCall::DetailFetch, interfaceIndex) != Failure::None;
}

long SimulatedBus::Open(const std::string& path) {
    int interfaceIndex = -1;
    for (int i = 0; i < static_cast<int>(interfaces.size()); ++i) {
        if (interfaces[static_cast<std::size_t>(i)].devicePath == path && InterfacePresent(i))
            interfaceIndex = i;
    }
    if (interfaceIndex < 0 || Inject(PlatformCall::CreateFile, interfaceIndex) != Failure::None)
        return 0;
    long handle = nextId_++;
    handles_[handle] = interfaceIndex;
    ++openHandles;
    mostOpenHandles = std::max(mostOpenHandles, openHandles);
    Record({TraceEvent::Open, 0, interfaceIndex, path, {}, true, 0, {}});
    return handle;
}

bool SimulatedBus::Close(long handle) {
    auto found = handles_.find(handle);
    if (found == handles_.end())
        return false;
    int interfaceIndex = found->second;
    handles_.erase(found);
    --openHandles;
    Record({TraceEvent::Close,
            0,
            interfaceIndex,
            interfaces[static_cast<std::size_t>(interfaceIndex)].devicePath,
            {},
            true,
            0,
            {}});
    return true;
}

int SimulatedBus::InterfaceOf(long handle) const {
    auto found = handles_.find(handle);
    return found == handles_.end() ? -1 : found->second;
}

bool SimulatedBus::ReadAttributes(int interfaceIndex, std::uint16_t& vendorId,
                                  std::uint16_t& productId) {
    if (!InterfacePresent(interfaceIndex) ||
        Inject(PlatformCall::GetAttributes, interfaceIndex) != Failure::None)
        return false;
    const SimulatedInterface& device = interfaces[static_cast<std::size_t>(interfaceIndex)];
    vendorId = device.vendorId;
    productId = device.productId;
    return true;
}

long SimulatedBus::ObtainPreparsedData(int interfaceIndex) {
    if (!InterfacePresent(interfaceIndex) ||
        Inject(PlatformCall::GetPreparsedData, interfaceIndex) != Failure::None)
        return 0;
    long preparsed = nextId_++;
    preparsed_[preparsed] = interfaceIndex;
    ++preparsedObtained;
    return preparsed;
}

bool SimulatedBus::FreePreparsedData(long preparsed) {
    if (preparsed_.erase(preparsed) == 0)
        return false;
    ++preparsedFreed;
    return true;
}

bool SimulatedBus::ReadUsagePage(long preparsed, std::uint16_t& usagePage) {
    auto found = preparsed_.find(preparsed);
    if (found == preparsed_.end() || Inject(PlatformCall::GetCaps, found->second) != Failure::None)
        return false;
    usagePage = interfaces[static_cast<std::size_t>(found->second)].usagePage;
    return true;
}

bool SimulatedBus::WriteFeature(int interfaceIndex, const FeatureReportBytes& report) {
    bool written = InterfacePresent(interfaceIndex) &&
                   Inject(PlatformCall::SetFeature, interfaceIndex) == Failure::None;
    const SimulatedInterface& device = interfaces[static_cast<std::size_t>(interfaceIndex)];
    if (written && device.controller)
        device.controller->TakeCommand(report);
    Record({TraceEvent::WriteReport, 0, interfaceIndex, device.devicePath, report, written, 0, {}});
    return written;
}

bool SimulatedBus::ReadFeature(int interfaceIndex, FeatureReportBytes& report) {
    const SimulatedInterface& device = interfaces[static_cast<std::size_t>(interfaceIndex)];
    Failure failure = Failure::FalseResult;
    if (InterfacePresent(interfaceIndex))
        failure = Inject(PlatformCall::GetFeature, interfaceIndex);
    bool read = failure != Failure::FalseResult;
    if (read && device.controller)
        report = device.controller->HeldReport();
    else if (read)
        report[1] = 0; // a collection that keeps no report 1 of ours
    if (failure == Failure::EmptyData)
        report[1] = 0;
    if (failure == Failure::ShortData)
        report[1] = static_cast<std::uint8_t>(report[1] / 2);
    Record({TraceEvent::ReadReport, 0, interfaceIndex, device.devicePath, report, read, 0, {}});
    return read;
}

std::uint64_t SimulatedBus::NowMs() const {
    if (!realTime)
        return virtualNowMs_;
    auto elapsed = std::chrono::steady_clock::now() - realStart_;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SimulatedBus::Wait(std::uint32_t milliseconds) {
    if (realTime) {
        // The kernel's timers overshoot by a fraction of a millisecond on every sleep; the last
        // millisecond is spun so that a run's wall time shows the program's own cost alone.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        if (milliseconds > 1)
            std::this_thread::sleep_until(deadline - std::chrono::milliseconds(1));
        while (std::chrono::steady_clock::now() < deadline) {
        }
    } else
        virtualNowMs_ += milliseconds;
    Record({TraceEvent::Wait, 0, -1, {}, {}, true, milliseconds, {}});
}

void SimulatedBus::ShowMessageBox(const std::string& caption, const std::string& text,
                                  std::uint32_t style) {
    messageBoxes.push_back({caption, text, style});
    Record({TraceEvent::MessageBox, 0, -1, text, {}, true, style, caption});
    if (showMessageBox)
        showMessageBox(messageBoxes.back());
}

} // namespace sim
