// Tests over the simulated bus behind the host stand-in: a virtual clock, and the bus's accounts
// and trace to assert on.
#pragma once

#include "platform/host/host_platform.h"
#include "sim/bus_layout.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// A 13-byte feature report from text, zero-filled behind what the text gives: as hex, and as bytes.
inline std::string Report(const std::string& text) {
    testbytes::Bytes bytes = testbytes::Parse(text);
    bytes.resize(sim::FeatureReportSize, 0);
    return testbytes::Hex(bytes);
}

inline sim::FeatureReportBytes ReportBytes(const std::string& text) {
    testbytes::Bytes bytes = testbytes::Parse(text);
    sim::FeatureReportBytes report{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), report.size()), report.begin());
    return report;
}

class OverSimulatedBus : public ::testing::Test {
  protected:
    int AddInterface(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t usagePage,
                     std::shared_ptr<sim::SimulatedController> controller = nullptr) {
        int index = static_cast<int>(bus.interfaces.size());
        bus.interfaces.push_back({sim::HidDevicePath(vendorId, productId, 1, index), vendorId,
                                  productId, usagePage, std::move(controller)});
        return index;
    }

    std::shared_ptr<sim::SimulatedController>
    AddController(std::uint16_t vendorId = 0x1234, std::uint16_t productId = 0x8888,
                  sim::ControllerBehaviour behaviour = {}) {
        auto controller = std::make_shared<sim::SimulatedController>(std::move(behaviour));
        AddInterface(vendorId, productId, 0xFF00, controller);
        return controller;
    }

    // Makes every `call` concerning interface `interfaceIndex` (-1: any) fail as `failure`.
    void FailOn(sim::PlatformCall call, int interfaceIndex, sim::Failure failure) {
        bus.inject = [=](const sim::CallSite& site) {
            bool hit =
                site.call == call && (interfaceIndex < 0 || site.interfaceIndex == interfaceIndex);
            return hit ? failure : sim::Failure::None;
        };
    }

    // The trace as short lines: "open 2", "close 2", "write 0 <13 bytes>", "read 0 <13 bytes>",
    // "wait 10", "box <text>".
    std::vector<std::string> Events() const {
        std::vector<std::string> lines;
        for (const sim::TraceEvent& event : bus.trace) {
            std::string where = std::to_string(event.interfaceIndex);
            std::string report = testbytes::Hex(event.report.data(), event.report.size());
            switch (event.kind) {
            case sim::TraceEvent::Open:
                lines.push_back("open " + where);
                break;
            case sim::TraceEvent::Close:
                lines.push_back("close " + where);
                break;
            case sim::TraceEvent::WriteReport:
                lines.push_back("write " + where + " " + report);
                break;
            case sim::TraceEvent::ReadReport:
                lines.push_back("read " + where + " " + report);
                break;
            case sim::TraceEvent::Wait:
                lines.push_back("wait " + std::to_string(event.value));
                break;
            case sim::TraceEvent::MessageBox:
                lines.push_back("box " + event.text);
                break;
            }
        }
        return lines;
    }

    int CountEvents(sim::TraceEvent::Kind kind) const {
        int count = 0;
        for (const sim::TraceEvent& event : bus.trace)
            count += event.kind == kind;
        return count;
    }

    void ExpectBusClean() const {
        EXPECT_EQ(sim::CheckBusInvariants(bus), "");
    }

    sim::SimulatedBus bus;
    hostplatform::ScopedBus scoped{bus};
};
