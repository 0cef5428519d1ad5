#include "bus_fixture.h"
#include "hidlink/feature_report.h"

#include <cstring>

using testbytes::Bytes;
using testbytes::Hex;
using testbytes::Parse;

namespace {

class FeatureReports : public OverSimulatedBus {
  protected:
    void SetUp() override {
        controller = AddController();
        handle = CreateFileA(bus.interfaces[0].devicePath.c_str(), 0, 3, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        bus.trace.clear();
    }
    void TearDown() override {
        CloseHandle(handle);
    }

    std::shared_ptr<sim::SimulatedController> controller;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

TEST_F(FeatureReports, ACommandIsWrittenAsThirteenBytesThenAPause) {
    struct {
        const char* command;
        const char* report;
    } const cases[] = {
        {"01 'OI' 0D", "01 04 01 'OI' 0D"},
        {"01 'SP3B00C8' 0D", "01 0A 01 'SP3B00C8' 0D 00"},
        {"", "01 00"},
    };
    for (const auto& c : cases) {
        bus.trace.clear();
        Bytes command = Parse(c.command);
        EXPECT_EQ(WriteCommandReport(handle, command.data(), static_cast<int>(command.size())), 1);
        EXPECT_EQ(Events(), (std::vector<std::string>{"write 0 " + Report(c.report), "wait 10"}))
            << c.command;
    }
}

TEST_F(FeatureReports, RefusedLengthsAndInvalidHandlesTouchNothing) {
    unsigned char command[11] = {};
    EXPECT_EQ(WriteCommandReport(handle, command, 11), 0);
    EXPECT_EQ(WriteCommandReport(handle, command, -1), 0);
    EXPECT_EQ(WriteCommandReport(INVALID_HANDLE_VALUE, command, 4), 0);
    unsigned char buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(ReadReplyReport(INVALID_HANDLE_VALUE, buffer, 10), 0);
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(Events(), std::vector<std::string>{});
}

TEST_F(FeatureReports, AFailedWriteStillPauses) {
    FailOn(sim::PlatformCall::SetFeature, -1, sim::Failure::FalseResult);
    unsigned char command[4] = {0x01, 'O', 'I', 0x0D};
    EXPECT_EQ(WriteCommandReport(handle, command, 4), 0);
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"write 0 " + Report("01 04 01 'OI' 0D"), "wait 10"}));
}

TEST_F(FeatureReports, TheLengthByteAndMaxLengthBoundTheCopy) {
    struct {
        const char* held;
        unsigned maxLength;
        const char* copied;
    } const cases[] = {
        {"01 07 01 '1.0.5' 0D", 10, "01 '1.0.5' 0D"},
        {"01 07 01 '1.0.5' 0D", 3, "01 '1.'"},
        {"01 06 01 '1.0.5' 0D", 10, "01 '1.0.5'"},         // the length byte bounds the copy
        {"01 0C 01 '123456789' EE", 10, "01 '123456789'"}, // never past the ten data bytes
        {"01 0A 01 '123456789' EE", 16, "01 '123456789'"}, // maxLength above 10 counts as 10
        {"01 80 01 '123456789' EE", 10, "01 '123456789'"}, // the length byte is unsigned
        {"01 FF 01 30 0D", 3, "01 30 0D"},
        {"01 00 01 30 0D", 10, ""},
        {"07 03 01 30 0D", 10, "01 30 0D"}, // the report ID read back is not examined
        {"01 03 01 30 0D", 0, ""},
    };
    for (const auto& c : cases) {
        controller->Hold(ReportBytes(c.held));
        unsigned char buffer[16];
        std::memset(buffer, 0xEE, sizeof buffer);
        Bytes expected = Parse(c.copied);
        EXPECT_EQ(ReadReplyReport(handle, buffer, c.maxLength), static_cast<int>(expected.size()))
            << c.held;
        EXPECT_EQ(Hex(buffer, expected.size()), Hex(expected)) << c.held;
        for (std::size_t i = expected.size(); i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], 0xEE) << c.held << " byte " << i;
    }
}

TEST_F(FeatureReports, AFailedReadYieldsNothing) {
    controller->Hold(ReportBytes("01 03 01 30 0D"));
    FailOn(sim::PlatformCall::GetFeature, -1, sim::Failure::FalseResult);
    unsigned char buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(ReadReplyReport(handle, buffer, 10), 0);
    EXPECT_EQ(buffer[0], 0xEE);
    // A failed read hands back the report as it went in: cleared, with report ID 1.
    EXPECT_EQ(Events(), std::vector<std::string>{"read 0 " + Report("01")});
}

} // namespace
