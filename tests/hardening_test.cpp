// Whole runs under platform failures and hostile controllers: whatever happens, every handle,
// list and preparsed data is released, only the controller's vendor collection is written to,
// and the message shown fits what crossed the bus.
#include "bus_fixture.h"
#include "patch/patch_procedure.h"

#include <cstdio>

namespace {

struct RunResult {
    std::string broken; // empty when every invariant held
    std::vector<std::string> messages;
    int parameterWrites = 0;
};

// One whole run over a bus laid out as `layout`, with `inject` deciding each call's fate.
RunResult RunOver(const sim::BusLayout& layout, sim::FaultInjector inject = nullptr) {
    sim::SimulatedBus bus;
    hostplatform::ScopedBus scoped(bus);
    sim::BuildBus(layout, bus);
    bus.inject = std::move(inject);
    PatchTouchParameters();

    RunResult result;
    result.broken = sim::CheckBusInvariants(bus) + sim::CheckOutcome(bus);
    int writes = 0;
    for (const sim::TraceEvent& event : bus.trace) {
        if (event.kind != sim::TraceEvent::WriteReport)
            continue;
        ++writes;
        result.parameterWrites += event.report[3] == 'S' && event.report[4] == 'P';
    }
    if (writes > 20)
        result.broken += std::to_string(writes) + " writes; ";
    for (const sim::MessageBoxRecord& box : bus.messageBoxes)
        result.messages.push_back(box.text);
    return result;
}

sim::BusLayout PatchableBehindDecoys() {
    sim::BusLayout layout;
    layout.decoys = 2; // a keyboard, and the controller's own digitizer collection
    return layout;
}

TEST(FaultSweep, EveryFailureOfEveryPlatformCallInAPatchRun) {
    std::vector<sim::PlatformCall> calls;
    RunResult clean = RunOver(PatchableBehindDecoys(), [&](const sim::CallSite& site) {
        calls.push_back(site.call);
        return sim::Failure::None;
    });
    ASSERT_EQ(clean.broken, "");
    ASSERT_EQ(clean.messages, std::vector<std::string>{"Success to patch touch parameters."});

    int runs = 0;
    for (std::size_t k = 1; k <= calls.size(); ++k) {
        for (sim::Failure failure : sim::FailuresOf(calls[k - 1])) {
            RunResult result = RunOver(PatchableBehindDecoys(), [=](const sim::CallSite& site) {
                return static_cast<std::size_t>(site.number) == k ? failure : sim::Failure::None;
            });
            EXPECT_EQ(result.broken, "") << "call " << k << " (" << sim::CallName(calls[k - 1])
                                         << "): " << sim::FailureName(failure);
            ++runs;
        }
    }
    for (int exchanges = 0; exchanges <= 20; ++exchanges) {
        sim::BusLayout layout = PatchableBehindDecoys();
        layout.behaviour.vanishAfterExchanges = exchanges;
        EXPECT_EQ(RunOver(layout).broken, "") << "vanished after " << exchanges << " exchanges";
        ++runs;
    }
    std::printf("fault sweep: %zu platform calls in a clean run, %d runs tried\n", calls.size(),
                runs);
}

TEST(FaultSweep, EveryCallFailingAlwaysEndsSilently) {
    for (sim::PlatformCall call :
         {sim::PlatformCall::GetClassDevs, sim::PlatformCall::EnumDeviceInterfaces,
          sim::PlatformCall::DetailFetch, sim::PlatformCall::CreateFile,
          sim::PlatformCall::GetAttributes, sim::PlatformCall::GetPreparsedData,
          sim::PlatformCall::GetCaps, sim::PlatformCall::SetFeature,
          sim::PlatformCall::GetFeature}) {
        RunResult result = RunOver(PatchableBehindDecoys(), [=](const sim::CallSite& site) {
            return site.call == call ? sim::FailuresOf(call).front() : sim::Failure::None;
        });
        EXPECT_EQ(result.broken, "") << sim::CallName(call);
        EXPECT_EQ(result.messages, std::vector<std::string>{}) << sim::CallName(call);
        EXPECT_EQ(result.parameterWrites, 0) << sim::CallName(call);
    }
}

struct HostileCase {
    const char* name;
    std::vector<const char*> answers; // whole feature reports, one per command
    const char* message;              // nullptr: none
    int parameterWrites;
};

class HostileController : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileController, GetsBoundedCopiesAndAClearOutcome) {
    const HostileCase& c = GetParam();
    sim::BusLayout layout = PatchableBehindDecoys();
    for (const char* answer : c.answers)
        layout.behaviour.plantedAnswers.push_back(ReportBytes(answer));
    RunResult result = RunOver(layout);
    EXPECT_EQ(result.broken, "");
    EXPECT_EQ(result.messages,
              c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(result.parameterWrites, c.parameterWrites);
}

const char Success[] = "Success to patch touch parameters.";
const char PatchError[] = "Patch error.";
const char NoCarriageReturn[] = "01 0A 01 '1.0.7.....'";

INSTANTIATE_TEST_SUITE_P(
    Replies, HostileController,
    ::testing::Values(
        // The report ID read back is not examined: the data decides.
        HostileCase{"WrongReportId", {"07 07 01 '1.0.6' 0D"}, Success, 0},
        // A length byte of 0x80 or more is unsigned, and the copy stops at ten bytes.
        HostileCase{"LengthByteAbove127", {"01 80 01 '1.0.7' 0D FF FF FF FF"}, Success, 3},
        HostileCase{"LengthByteFF", {"01 FF 01 '1.0.6' 0D FF FF FF FF FF"}, Success, 0},
        HostileCase{"NoCarriageReturn",
                    {NoCarriageReturn, NoCarriageReturn, NoCarriageReturn, NoCarriageReturn},
                    nullptr,
                    0},
        HostileCase{"NulInsideTheVersion", {"01 07 01 '1.0' 00 '7' 0D"}, Success, 0},
        HostileCase{"AcknowledgementWithoutCarriageReturn",
                    {"01 07 01 '1.0.7' 0D", "01 03 01 30 0A", "01 03 01 30 0A", "01 03 01 30 0A",
                     "01 03 01 30 0A"},
                    PatchError,
                    4},
        HostileCase{"AcknowledgementCutByTheLengthByte",
                    {"01 07 01 '1.0.7' 0D", "01 02 01 30 0D", "01 02 01 30 0D", "01 02 01 30 0D",
                     "01 02 01 30 0D"},
                    PatchError,
                    4}),
    [](const ::testing::TestParamInfo<HostileCase>& param) {
        return std::string(param.param.name);
    });

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

} // namespace
