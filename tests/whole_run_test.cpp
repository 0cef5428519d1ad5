// Whole runs of the program over the simulated bus, through the real HID link, for each outcome.
#include "bus_fixture.h"
#include "patch/patch_procedure.h"
#include "platform/win32.h"

#include <map>

namespace {

const char Success[] = "Success to patch touch parameters.";
const char PatchError[] = "Patch error.";

struct RunCase {
    const char* name;
    std::vector<std::string> options;
    const char* message; // nullptr: no message box
    std::map<int, int> parameters;
    bool stored;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

const std::map<int, int> AllParameters = {{0x3B, 200}, {0x3C, 120}, {0x3E, 256}};

class WholeRun : public OverSimulatedBus, public ::testing::WithParamInterface<RunCase> {};

TEST_P(WholeRun, EndsWithTheRightOutcomeAndLeavesTheMachineClean) {
    const RunCase& c = GetParam();
    sim::BusLayout layout;
    ASSERT_EQ(sim::ParseBusLayout(c.options, layout), "");
    auto controller = sim::BuildBus(layout, bus);

    EXPECT_EQ(PatchTouchParameters(), 0);

    std::vector<std::string> boxes;
    for (const sim::MessageBoxRecord& box : bus.messageBoxes) {
        EXPECT_EQ(box.caption, "MESSAGE");
        EXPECT_EQ(box.style, static_cast<std::uint32_t>(MB_OK));
        boxes.push_back(box.text);
    }
    EXPECT_EQ(boxes, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    if (controller) {
        EXPECT_EQ(controller->Parameters(), c.parameters);
        EXPECT_EQ(controller->PatchStored(), c.stored);
        EXPECT_LE(controller->Exchanges(), 20);
    }
    EXPECT_LE(CountEvents(sim::TraceEvent::WriteReport), 20);
    ExpectBusClean();
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, WholeRun,
    ::testing::Values(
        RunCase{"Patched", {}, Success, AllParameters, true},
        RunCase{"PatchedBehindDecoys",
                {"--decoys", "16", "--ids", "1BFD:1688", "--version", "1.0.5"},
                Success,
                AllParameters,
                true},
        RunCase{"NoPatchNeeded", {"--version", "1.0.6", "--decoys", "3"}, Success, {}, false},
        RunCase{"NoController", {"--no-controller", "--decoys", "8"}, nullptr, {}, false},
        RunCase{"UnsupportedIdentifiers", {"--ids", "1234:1688"}, nullptr, {}, false},
        RunCase{"SilentForThreeExchanges", {"--silent", "3"}, Success, AllParameters, true},
        RunCase{"SilentForFourExchanges", {"--silent", "4"}, nullptr, {}, false},
        RunCase{"GarbledForFourExchanges", {"--garble", "4"}, nullptr, {}, false},
        RunCase{"GarbledThenFine", {"--garble", "3"}, Success, AllParameters, true},
        RunCase{"SecondParameterRefused",
                {"--refuse-parameter", "3C"},
                PatchError,
                {{0x3B, 200}},
                false},
        RunCase{"ClosingRefused", {"--refuse-closing"}, PatchError, AllParameters, false},
        RunCase{"VanishesMidPatch", {"--vanish-after", "2"}, PatchError, {{0x3B, 200}}, false}),
    [](const ::testing::TestParamInfo<RunCase>& param) { return std::string(param.param.name); });

class WholeRunTiming : public OverSimulatedBus {};

TEST_F(WholeRunTiming, APatchTakesTheMandatedWaitsAndNoMore) {
    sim::BuildBus(sim::BusLayout{}, bus);
    PatchTouchParameters();
    // Four exchanges of 10 + 20 + 50 ms, and the closing one of 10 + 20 + 200 ms.
    EXPECT_EQ(bus.NowMs(), 4 * 80u + 230u);
    std::vector<std::string> waits;
    for (const std::string& line : Events()) {
        if (line.rfind("wait", 0) == 0)
            waits.push_back(line);
    }
    EXPECT_EQ(waits.size(), 15u);
    EXPECT_EQ(waits[14], "wait 200");
}

} // namespace
