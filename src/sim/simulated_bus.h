// A machine's HID bus as the setup API and the HID class driver present it: an ordered list of
// device interfaces, each with its path, identifiers, usage page and whatever stands behind it.
// It keeps the accounts that tests check (handles, lists, preparsed data), a trace of every event,
// a clock, and a switch through which any single platform call can be made to fail.
#pragma once

#include "sim/simulated_controller.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sim {

struct SimulatedInterface {
    std::string devicePath;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    // Null for an interface whose collection answers no commands (any other device).
    std::shared_ptr<SimulatedController> controller;
};

enum class PlatformCall {
    GetClassDevs,
    EnumDeviceInterfaces,
    DetailSizeQuery,
    DetailFetch,
    CreateFile,
    GetAttributes,
    GetPreparsedData,
    GetCaps,
    SetFeature,
    GetFeature,
};

enum class Failure {
    None,
    FalseResult,   // the call reports failure
    InvalidHandle, // a call that yields a handle yields the invalid one
    NoSize,        // the size query leaves the required size untouched
    ShortSize,     // the size query reports less than the record's fixed part
    WrongSize,     // the size query reports too little room for the path
    EmptyData,     // a feature read succeeds with no data
    ShortData,     // a feature read succeeds with only part of the data
};

const char* CallName(PlatformCall call);
const char* FailureName(Failure failure);
// The kinds of failure that a call can have, for sweeps.
std::vector<Failure> FailuresOf(PlatformCall call);

struct CallSite {
    PlatformCall call;
    int interfaceIndex; // the bus interface concerned, -1 where none is
    long number;        // counts every injectable call from 1
};
using FaultInjector = std::function<Failure(const CallSite&)>;

struct TraceEvent {
    enum Kind { Open, Close, WriteReport, ReadReport, Wait, MessageBox } kind;
    std::uint64_t timeMs = 0;
    int interfaceIndex = -1;
    std::string text; // device path, or the message box text
    FeatureReportBytes report{};
    bool succeeded = false;
    std::uint32_t value = 0; // the wait, or the message box style
    std::string caption;
};

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    std::uint32_t style;
};

class SimulatedBus {
  public:
    std::vector<SimulatedInterface> interfaces;
    FaultInjector inject;
    // Called for every event as it is traced, for live transcripts.
    std::function<void(const TraceEvent&)> onEvent;
    // Called for every message box; the default only records it.
    std::function<void(const MessageBoxRecord&)> showMessageBox;
    bool realTime = false;

    // Setup API; lists are snapshots of the interfaces present when the list was made.
    long MakeList(); // 0 when the class list cannot be had
    bool DestroyList(long list);
    // The bus interface at `member` of the list, -1 past its end or on failure.
    int EnumerateInterface(long list, long member);
    bool ListIsOpen(long list) const;
    Failure DetailSizeFailure(int interfaceIndex);
    bool DetailFetchFails(int interfaceIndex);

    // Opens a device path; returns a handle number, 0 when nothing can be opened there.
    long Open(const std::string& path);
    bool Close(long handle);
    int InterfaceOf(long handle) const; // -1 for a handle that is not open

    bool ReadAttributes(int interfaceIndex, std::uint16_t& vendorId, std::uint16_t& productId);
    long ObtainPreparsedData(int interfaceIndex); // 0 on failure
    bool FreePreparsedData(long preparsed);
    bool ReadUsagePage(long preparsed, std::uint16_t& usagePage);
    bool WriteFeature(int interfaceIndex, const FeatureReportBytes& report);
    bool ReadFeature(int interfaceIndex, FeatureReportBytes& report);

    void Wait(std::uint32_t milliseconds);
    void ShowMessageBox(const std::string& caption, const std::string& text, std::uint32_t style);
    std::uint64_t NowMs() const;

    bool InterfacePresent(int interfaceIndex) const;

    // Accounts.
    int openHandles = 0;
    int mostOpenHandles = 0;
    int listsMade = 0;
    int listsDestroyed = 0;
    int preparsedObtained = 0;
    int preparsedFreed = 0;
    long injectableCalls = 0;
    std::vector<TraceEvent> trace;
    std::vector<MessageBoxRecord> messageBoxes;

  private:
    Failure Inject(PlatformCall call, int interfaceIndex);
    void Record(TraceEvent event);

    std::map<long, std::vector<int>> lists_;
    std::map<long, int> handles_;
    std::map<long, int> preparsed_;
    long nextId_ = 1;
    std::uint64_t virtualNowMs_ = 0;
    std::chrono::steady_clock::time_point realStart_ = std::chrono::steady_clock::now();
};

} // namespace sim
