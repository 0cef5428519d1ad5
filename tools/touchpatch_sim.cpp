// Runs the program's whole job through the real HID link over a simulated bus and touch
// controller, with real waits, and prints what crosses the bus as it happens.
#include "patch/patch_procedure.h"
#include "platform/host/host_platform.h"
#include "sim/bus_layout.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string Printable(const sim::FeatureReportBytes& report, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char byte = report[i];
        text += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '.';
    }
    return text;
}

void PrintEvent(const sim::TraceEvent& event) {
    if (event.kind != sim::TraceEvent::WriteReport && event.kind != sim::TraceEvent::ReadReport)
        return;
    std::string hex;
    for (unsigned char byte : event.report) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", byte);
        hex += pair;
    }
    std::printf("%9.3f s  %-5s %s |%s|%s\n", static_cast<double>(event.timeMs) / 1000.0,
                event.kind == sim::TraceEvent::WriteReport ? "write" : "read", hex.c_str(),
                Printable(event.report, event.report.size()).c_str(),
                event.succeeded ? "" : "  (failed)");
}

} // namespace

int main(int argc, char** argv) {
    sim::BusLayout layout;
    std::string error =
        sim::ParseBusLayout(std::vector<std::string>(argv + 1, argv + argc), layout);
    if (!error.empty()) {
        std::fprintf(stderr, "touchpatch-sim: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (layout.help) {
        std::printf("usage: touchpatch-sim [options]\n"
                    "Runs touchpatch over a simulated HID bus with a simulated touch controller,\n"
                    "with real waits, printing every feature report and message box.\n\n%s",
                    sim::BusLayoutUsage);
        return 0;
    }

    sim::SimulatedBus bus;
    bus.realTime = true;
    auto controller = sim::BuildBus(layout, bus);
    Clock::duration inMessageBoxes{};
    bus.onEvent = PrintEvent;
    bus.showMessageBox = [&](const sim::MessageBoxRecord& box) {
        std::printf("%9.3f s  message box\n", static_cast<double>(bus.NowMs()) / 1000.0);
        Clock::time_point shown = Clock::now();
        hostplatform::ShowMessageBoxOnTerminal(box);
        inMessageBoxes += Clock::now() - shown;
    };
    hostplatform::ScopedBus scoped(bus);

    std::printf("bus: %zu interface(s); controller %s\n", bus.interfaces.size(),
                controller ? ("version " + layout.behaviour.version).c_str() : "absent");
    Clock::time_point start = Clock::now();
    int result = PatchTouchParameters();
    double wallMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start - inMessageBoxes).count();

    std::printf("\nexit status %d\n", result);
    if (controller) {
        std::printf("controller holds:");
        for (const auto& [number, value] : controller->Parameters())
            std::printf(" 0x%02X=%d", number, value);
        std::printf("%s; patch %s\n", controller->Parameters().empty() ? " no parameters" : "",
                    controller->PatchStored() ? "stored" : "not stored");
    }
    double mandatedMs = 0;
    for (const sim::TraceEvent& event : bus.trace)
        mandatedMs += event.kind == sim::TraceEvent::Wait ? event.value : 0;
    std::printf("wall time %.1f ms (message boxes excluded); mandated waits %.0f ms; "
                "overhead %.2f%%\n",
                wallMs, mandatedMs,
                mandatedMs > 0 ? 100.0 * (wallMs - mandatedMs) / mandatedMs : 0.0);
    std::string broken = sim::CheckBusInvariants(bus);
    if (!broken.empty())
        std::printf("bus invariants broken: %s\n", broken.c_str());
    if (bus.messageBoxes.empty())
        std::printf("outcome: no message (the version query went unanswered)\n");
    else
        std::printf("outcome: %s\n", bus.messageBoxes.back().text.c_str());
    return result;
}
