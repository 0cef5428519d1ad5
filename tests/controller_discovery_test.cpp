#include "bus_fixture.h"
#include "hidlink/controller_discovery.h"
#include "sim/simulated_win32.h"

namespace {

using sim::Failure;
using sim::PlatformCall;

class Discovery : public OverSimulatedBus {
  protected:
    // Runs one discovery and returns the bus interface whose handle came back (-1: none),
    // having closed that handle again. Checks that everything else taken was released.
    int Discover() {
        HANDLE found = OpenTouchController();
        int interfaceIndex = -1;
        if (found != INVALID_HANDLE_VALUE) {
            EXPECT_EQ(bus.openHandles, 1);
            interfaceIndex = bus.InterfaceOf(sim::IdOf(found));
            CloseHandle(found);
        }
        EXPECT_EQ(bus.listsMade, 1);
        ExpectBusClean();
        return interfaceIndex;
    }
};

TEST_F(Discovery, TakesTheVendorCollectionAndPassesOverTheControllersOthers) {
    AddInterface(0x1BFD, 0x1688, 0x000D);
    AddInterface(0x1BFD, 0x1688, 0xFF00);
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(Events(), (std::vector<std::string>{"open 0", "close 0", "open 1", "close 1"}));
}

TEST_F(Discovery, IdentifiersBindAsPairs) {
    AddInterface(0x1234, 0x1688, 0xFF00);
    AddInterface(0x1BFD, 0x8888, 0xFF00);
    AddInterface(0x1234, 0x8889, 0xFF00);
    EXPECT_EQ(Discover(), -1);
    EXPECT_EQ(bus.preparsedObtained, 0);
}

TEST_F(Discovery, ClosesEveryEarlierInterfaceBeforeReturningTheController) {
    for (int i = 0; i < 5; ++i)
        AddInterface(0x046D, static_cast<std::uint16_t>(0xC000 + i), 0x0001);
    AddController(0x1BFD, 0x1688);
    EXPECT_EQ(Discover(), 5);
    EXPECT_EQ(bus.mostOpenHandles, 1);
    EXPECT_EQ(CountEvents(sim::TraceEvent::Open), 6);
}

TEST_F(Discovery, WithBothControllersTheFirstInEnumerationOrderWins) {
    AddController(0x1BFD, 0x1688);
    AddController(0x1234, 0x8888);
    EXPECT_EQ(Discover(), 0);
}

TEST_F(Discovery, NoInterfacesAtAll) {
    EXPECT_EQ(Discover(), -1);
    EXPECT_EQ(bus.listsDestroyed, 1);
}

TEST_F(Discovery, AnInterfaceThatFailsAnyQueryIsPassedOverAndReleased) {
    struct {
        PlatformCall call;
        Failure failure;
        int expected; // with the failure on interface 0, of two controllers
    } const cases[] = {
        {PlatformCall::DetailSizeQuery, Failure::NoSize, 1},
        {PlatformCall::DetailSizeQuery, Failure::ShortSize, 1},
        {PlatformCall::DetailSizeQuery, Failure::WrongSize, 1},
        {PlatformCall::DetailFetch, Failure::FalseResult, 1},
        {PlatformCall::CreateFile, Failure::InvalidHandle, 1},
        {PlatformCall::GetAttributes, Failure::FalseResult, 1},
        {PlatformCall::GetPreparsedData, Failure::FalseResult, 1},
        {PlatformCall::GetCaps, Failure::FalseResult, 1},
        // An enumeration that fails ends the walk, and with it the search.
        {PlatformCall::EnumDeviceInterfaces, Failure::FalseResult, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(sim::CallName(c.call)) + ": " + sim::FailureName(c.failure));
        bus = sim::SimulatedBus();
        AddController(0x1234, 0x8888);
        AddController(0x1BFD, 0x1688);
        FailOn(c.call, 0, c.failure);
        EXPECT_EQ(Discover(), c.expected);
    }
}

TEST_F(Discovery, NoClassListMeansNoController) {
    AddController();
    FailOn(PlatformCall::GetClassDevs, -1, Failure::InvalidHandle);
    EXPECT_EQ(OpenTouchController(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(bus.listsMade, 0);
    ExpectBusClean();
}

TEST_F(Discovery, QueryHidCapsFreesThePreparsedDataWhenTheCapsFail) {
    AddController();
    HANDLE device =
        CreateFileA(bus.interfaces[0].devicePath.c_str(), 0, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    HIDP_CAPS caps{};
    EXPECT_EQ(QueryHidCaps(device, &caps), 1);
    EXPECT_EQ(caps.UsagePage, 0xFF00);
    FailOn(PlatformCall::GetCaps, -1, Failure::FalseResult);
    EXPECT_EQ(QueryHidCaps(device, &caps), 0);
    FailOn(PlatformCall::GetPreparsedData, -1, Failure::FalseResult);
    EXPECT_EQ(QueryHidCaps(device, &caps), 0);
    CloseHandle(device);
    EXPECT_EQ(bus.preparsedObtained, 2);
    ExpectBusClean();
}

} // namespace
