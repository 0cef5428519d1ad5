#include "patch_procedure.h"

#include "command_link.h"
#include "command_protocol.h"
#include "platform/win32.h"

#include <cstring>

namespace {

const char MessageCaption[] = "MESSAGE";
const char SuccessMessage[] = "Success to patch touch parameters.";
const char PatchErrorMessage[] = "Patch error.";

const unsigned MaximumAttempts = 4;
const int ComparedVersionLength = 5;

const char* const PatchableVersionList[] = {"1.0.5", "1.0.7", "1.0.8"};

struct ParameterPatch {
    unsigned char number;
    unsigned short value;
};

// Parameter 0x3D is left as the controller has it.
const ParameterPatch ParameterPatchTable[] = {{0x3B, 200}, {0x3C, 120}, {0x3E, 256}};

enum ReplyRule { ExpectVersionReply, ExpectAcknowledgement };

struct ExchangeStage {
    DWORD waitAfterSend;
    unsigned readSize;
    ReplyRule rule;
};

const ExchangeStage VersionQueryStage = {50, 10, ExpectVersionReply};
const ExchangeStage ParameterStage = {50, 3, ExpectAcknowledgement};
// The controller needs longer to store the patch than to take one parameter.
const ExchangeStage ClosingStage = {200, 10, ExpectAcknowledgement};

int IsReplyAccepted(ReplyRule rule, const unsigned char reply[ReplyBufferSize]) {
    if (rule == ExpectVersionReply)
        return ParseVersionReply(reply) != 0;
    return IsAcknowledgement(reply);
}

// Sends the same frame up to four times until the stage's reply is accepted. Returns 1 when it
// was; `reply` then holds the accepted answer.
int RunExchangeStage(const unsigned char command[FrameCapacity], int length,
                     const ExchangeStage& stage, unsigned char reply[ReplyBufferSize]) {
    for (unsigned attempt = 1; attempt <= MaximumAttempts; ++attempt) {
        int sent = SendCommand(command, length);
        Sleep(stage.waitAfterSend);
        std::memset(reply, 0, ReplyBufferSize);
        ReadReply(reply, stage.readSize);
        // After a failed write the controller still holds its answer to the previous command,
        // often an acknowledgement: it must not pass for the answer to this one.
        if (sent && IsReplyAccepted(stage.rule, reply))
            return 1;
    }
    return 0;
}

int IsPatchableVersion(const char version[VersionTextCapacity + 2]) {
    for (const char* patchable : PatchableVersionList) {
        if (std::strncmp(version, patchable, ComparedVersionLength) == 0)
            return 1;
    }
    return 0;
}

void ShowMessage(const char* text) {
    MessageBoxA(nullptr, text, MessageCaption, MB_OK);
}

} // namespace

int PatchTouchParameters() {
    unsigned char command[FrameCapacity];
    unsigned char reply[ReplyBufferSize];
    // Zeroed before the copy and longer than any version text, so the text always ends in NUL.
    char version[VersionTextCapacity + 2];

    int length = BuildVersionQueryCommand(command);
    // No answer at all is also what no controller looks like: the user is told nothing.
    if (!RunExchangeStage(command, length, VersionQueryStage, reply))
        return 0;

    std::memset(version, 0, sizeof version);
    std::strncpy(version, reinterpret_cast<const char*>(reply + 1),
                 static_cast<std::size_t>(ParseVersionReply(reply)));
    if (!IsPatchableVersion(version)) {
        ShowMessage(SuccessMessage);
        return 0;
    }

    for (const ParameterPatch& parameter : ParameterPatchTable) {
        length = BuildSetParameterCommand(command, parameter.number, parameter.value);
        if (!RunExchangeStage(command, length, ParameterStage, reply)) {
            ShowMessage(PatchErrorMessage);
            return 0;
        }
    }

    length = BuildClosingCommand(command);
    ShowMessage(RunExchangeStage(command, length, ClosingStage, reply) ? SuccessMessage
                                                                       : PatchErrorMessage);
    return 0;
}
