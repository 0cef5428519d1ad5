// The patch procedure against a scripted command link: every frame sent, every read size asked,
// every wait and every message box lands in one log, compared whole with the expected run.
#include "patch/command_link.h"
#include "patch/patch_procedure.h"
#include "platform/host/host_platform.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

using testbytes::Bytes;
using testbytes::Hex;
using testbytes::Parse;
using Log = std::vector<std::string>;

namespace {

// The controller's side of the script: one reply per read, in order; past the end, silence.
struct ScriptedController {
    std::deque<Bytes> replies;
    std::vector<int> failedSends; // 1-based numbers of the sends that report failure
    int sends = 0;
    Log* log = nullptr;
};
ScriptedController* script = nullptr;

} // namespace

int SendCommand(const unsigned char* bytes, int length) {
    script->log->push_back("send " + Hex(bytes, static_cast<std::size_t>(length)));
    ++script->sends;
    const std::vector<int>& failed = script->failedSends;
    return std::find(failed.begin(), failed.end(), script->sends) == failed.end();
}

int ReadReply(unsigned char* buffer, unsigned maxLength) {
    script->log->push_back("read " + std::to_string(maxLength));
    if (script->replies.empty())
        return 0;
    Bytes reply = script->replies.front();
    script->replies.pop_front();
    std::size_t count = std::min<std::size_t>({reply.size(), maxLength, 10});
    std::copy_n(reply.begin(), count, buffer);
    return static_cast<int>(count);
}

namespace {

const char Success[] = "box MESSAGE|Success to patch touch parameters.|0";
const char PatchError[] = "box MESSAGE|Patch error.|0";
const char VersionQuery[] = "01 'OI' 0D";
const char Closing[] = "01 'PL' 0D";
const char Parameter1[] = "01 'SP3B00C8' 0D";
const char Parameter2[] = "01 'SP3C0078' 0D";
const char Parameter3[] = "01 'SP3E0100' 0D";
const char Ack[] = "01 30 0D";

class PatchProcedure : public ::testing::Test {
  protected:
    void SetUp() override {
        bus.onEvent = [this](const sim::TraceEvent& event) {
            if (event.kind == sim::TraceEvent::Wait)
                log.push_back("wait " + std::to_string(event.value));
            if (event.kind == sim::TraceEvent::MessageBox)
                log.push_back("box " + event.caption + "|" + event.text + "|" +
                              std::to_string(event.value));
        };
        controller.log = &log;
        script = &controller;
    }
    void TearDown() override {
        script = nullptr;
    }

    void Reply(std::initializer_list<const char*> replies) {
        for (const char* reply : replies)
            controller.replies.push_back(Parse(reply));
    }

    int Run() {
        return PatchTouchParameters();
    }

    // One exchange: the frame, the procedure's wait, the read.
    static void Exchange(Log& expected, const char* frame, int times = 1) {
        bool closing = std::string(frame) == Closing;
        bool parameter = std::string(frame).find("'SP") != std::string::npos;
        for (int i = 0; i < times; ++i) {
            expected.push_back("send " + Hex(Parse(frame)));
            expected.push_back(closing ? "wait 200" : "wait 50");
            expected.push_back(parameter ? "read 3" : "read 10");
        }
    }

    sim::SimulatedBus bus;
    hostplatform::ScopedBus scoped{bus};
    ScriptedController controller;
    Log log;
};

TEST_F(PatchProcedure, NoControllerEndsSilentlyAfterFourVersionQueries) {
    Log expected;
    Exchange(expected, VersionQuery, 4);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
    EXPECT_EQ(bus.NowMs(), 200u);
}

TEST_F(PatchProcedure, AVersionThatNeedsNoPatchIsReportedAsSuccessWithoutWrites) {
    Reply({"01 '1.0.6' 0D"});
    Log expected;
    Exchange(expected, VersionQuery);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, APatchAcknowledgedAtOnceWritesThreeParametersAndCloses) {
    Reply({"01 '1.0.7' 0D", Ack, Ack, Ack, Ack});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
    EXPECT_EQ(bus.NowMs(), 4 * 50u + 200u);
}

TEST_F(PatchProcedure, AVersionReplyValidOnlyOnTheFourthAttemptStillPatches) {
    Reply({"", "01 '1.' 0D", "02 '1.0.7' 0D", "01 '1.0.8' 0D", Ack, Ack, Ack, Ack});
    Log expected;
    Exchange(expected, VersionQuery, 4);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, AParameterNeverAcknowledgedEndsInPatchErrorAndStops) {
    Reply({"01 '1.0.5' 0D", Ack, "01 31 0D", "01 30 0A", "", "01 31 0D", Ack});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2, 4);
    expected.push_back(PatchError);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, ClosingAcknowledgedOnTheFourthAttemptIsSuccess) {
    Reply({"01 '1.0.7' 0D", Ack, Ack, Ack, "", "", "01 31 0D", Ack});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing, 4);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
    EXPECT_EQ(bus.NowMs(), 4 * 50u + 4 * 200u);
}

TEST_F(PatchProcedure, ClosingNeverAcknowledgedIsPatchError) {
    Reply({"01 '1.0.7' 0D", Ack, Ack, Ack});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing, 4);
    expected.push_back(PatchError);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, AnAcknowledgementFollowedByOtherBytesIsAccepted) {
    Reply({"01 '1.0.7' 0D", "01 30 0D 'XYZ'", "01 30 0D FF FF", Ack, "01 30 0D 41"});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, ARepliedAcknowledgementCountsOnlyAfterASuccessfulSend) {
    // The third and sixth sends fail; the controller still holds its earlier acknowledgement.
    controller.failedSends = {3, 6};
    Reply({"01 '1.0.7' 0D", Ack, Ack, Ack, Ack, Ack, Ack});
    Log expected;
    Exchange(expected, VersionQuery);
    Exchange(expected, Parameter1);
    Exchange(expected, Parameter2, 2);
    Exchange(expected, Parameter3);
    Exchange(expected, Closing, 2);
    expected.push_back(Success);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(log, expected);
}

TEST_F(PatchProcedure, TheVersionGateComparesTheFirstFiveCharacters) {
    struct {
        const char* reply;
        bool patched;
    } const cases[] = {
        {"01 '1.0.5' 0D", true},       {"01 '1.0.7' 0D", true},    {"01 '1.0.8' 0D", true},
        {"01 '1.0.50' 0D", true},      {"01 '1.0.8rc1' 0D", true}, {"01 '1.0.6' 0D", false},
        {"01 '1.0' 0D", false},        {"01 '1.0.' 0D", false},    {"01 '2.0.5' 0D", false},
        {"01 '1.0' 00 '7' 0D", false}, // a NUL ends the text early
    };
    for (const auto& c : cases) {
        log.clear();
        controller.replies.clear();
        Reply({c.reply, Ack, Ack, Ack, Ack});
        EXPECT_EQ(Run(), 0);
        bool sentParameter =
            std::find(log.begin(), log.end(), "send " + Hex(Parse(Parameter1))) != log.end();
        EXPECT_EQ(sentParameter, c.patched) << c.reply;
        EXPECT_EQ(log.back(), Success) << c.reply;
    }
}

} // namespace
