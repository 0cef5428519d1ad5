// The Windows face of the simulated bus: hid.dll, and through forwarders setupapi.dll, for running
// the real touchpatch.exe under Wine against the simulated touch controller. Test tooling, never
// shipped. The bus is laid out by TOUCHPATCH_SIMBUS (touchpatch-sim's options); what crosses it
// is written to the file that TOUCHPATCH_SIMTRACE names.
#include "sim/bus_layout.h"
#include "sim/simulated_win32.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct DllBus {
    sim::SimulatedBus bus;
    std::FILE* trace = nullptr;
};

std::string FileNameOf(const std::string& path) {
    std::string name = path.substr(path.find_last_of('\\') + 1);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

void WriteTrace(std::FILE* trace, const sim::SimulatedBus& bus, const sim::TraceEvent& event) {
    if (event.kind != sim::TraceEvent::WriteReport && event.kind != sim::TraceEvent::ReadReport)
        return;
    std::fprintf(trace, "%llu %s %s", static_cast<unsigned long long>(event.timeMs),
                 event.kind == sim::TraceEvent::WriteReport ? "write" : "read",
                 event.succeeded ? "ok" : "failed");
    for (unsigned char byte : event.report)
        std::fprintf(trace, " %02X", byte);
    std::fprintf(trace, " %s\n",
                 bus.interfaces[static_cast<std::size_t>(event.interfaceIndex)].devicePath.c_str());
    std::fflush(trace);
}

DllBus& TheBus() {
    // Made on first use and kept until the process ends.
    static DllBus* made = [] {
        auto* dll = new DllBus;
        dll->bus.realTime = true;
        sim::BusLayout layout;
        const char* options = std::getenv("TOUCHPATCH_SIMBUS");
        std::string error = sim::ParseBusLayout(sim::SplitWords(options ? options : ""), layout);
        if (!error.empty()) {
            std::fprintf(stderr, "simulated hid.dll: TOUCHPATCH_SIMBUS: %s; the bus is empty\n",
                         error.c_str());
            layout = sim::BusLayout();
            layout.controller = false;
        }
        sim::BuildBus(layout, dll->bus);

        // The device paths become real files, so that the system's CreateFileA opens them.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        std::string folder =
            std::string(temp) + "touchpatch-simbus-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        for (sim::SimulatedInterface& device : dll->bus.interfaces) {
            device.devicePath = folder + "\\" + FileNameOf(device.devicePath);
            HANDLE file = CreateFileA(device.devicePath.c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }

        const char* tracePath = std::getenv("TOUCHPATCH_SIMTRACE");
        if (tracePath && *tracePath)
            dll->trace = std::fopen(tracePath, "w");
        if (dll->trace) {
            dll->bus.onEvent = [dll](const sim::TraceEvent& event) {
                WriteTrace(dll->trace, dll->bus, event);
            };
        }
        return dll;
    }();
    return *made;
}

} // namespace

namespace sim {

SimulatedBus& FaceBus() {
    return TheBus().bus;
}

// The handle is the system's own, on one of the bus's files: its final path names the interface.
int FaceInterfaceOf(HANDLE handle) {
    char path[1024];
    DWORD length = GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= sizeof path)
        return -1;
    std::string name = FileNameOf(std::string(path, length));
    const std::vector<SimulatedInterface>& interfaces = FaceBus().interfaces;
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
        if (FileNameOf(interfaces[i].devicePath) == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace sim
