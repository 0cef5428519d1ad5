#include "bus_fixture.h"
#include "patch/command_link.h"

#include <cstring>

namespace {

using Lines = std::vector<std::string>;

class Transactions : public OverSimulatedBus {};

TEST_F(Transactions, ASendOpensWritesPausesClosesAndPausesAgain) {
    AddInterface(0x1234, 0x8888, 0x000D);
    AddController();
    unsigned char command[4] = {0x01, 'O', 'I', 0x0D};
    EXPECT_EQ(SendCommand(command, 4), 1);
    EXPECT_EQ(Events(),
              (Lines{"open 0", "close 0", "open 1", "write 1 " + Report("01 04 01 'OI' 0D"),
                     "wait 10", "close 1", "wait 20"}));
    ExpectBusClean();
}

TEST_F(Transactions, AReadOpensReadsAndClosesWithNoPause) {
    auto controller = AddController();
    controller->Hold(ReportBytes("01 0A 01 '123456789'"));
    unsigned char buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(ReadReply(buffer, 3), 3);
    EXPECT_EQ(testbytes::Hex(buffer, 4), "01 31 32 EE");
    EXPECT_EQ(ReadReply(buffer, 16), 10);
    EXPECT_EQ(buffer[10], 0xEE);
    EXPECT_EQ(CountEvents(sim::TraceEvent::Wait), 0);
    EXPECT_EQ(CountEvents(sim::TraceEvent::Close), 2);
    ExpectBusClean();
}

TEST_F(Transactions, WithNoControllerNothingIsTouchedAndNothingWaits) {
    AddInterface(0x046D, 0xC31C, 0x0001);
    unsigned char command[4] = {0x01, 'O', 'I', 0x0D};
    unsigned char buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(SendCommand(command, 4), 0);
    EXPECT_EQ(ReadReply(buffer, 10), 0);
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(Events(), (Lines{"open 0", "close 0", "open 0", "close 0"}));
    ExpectBusClean();
}

TEST_F(Transactions, AnElevenByteCommandIsRefusedButTheControllerIsStillOpenedAndClosed) {
    AddController();
    unsigned char command[11] = {};
    EXPECT_EQ(SendCommand(command, 11), 0);
    EXPECT_EQ(Events(), (Lines{"open 0", "close 0", "wait 20"}));
    ExpectBusClean();
}

} // namespace
