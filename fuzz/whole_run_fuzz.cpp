// A whole run of the program over a bus decoded from the input: its interfaces, identifiers and
// usage pages, the controllers' answers, and platform calls made to fail. Every run must release
// all it took, write only to a supported controller's vendor collection, make at most 20
// exchanges, and end with a message that fits what crossed the bus.
#include "fuzz_check.h"
#include "patch/patch_procedure.h"
#include "platform/host/host_platform.h"
#include "sim/bus_layout.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>

namespace {

const std::uint16_t Identities[][2] = {
    {0x1234, 0x8888}, {0x1BFD, 0x1688}, {0x1234, 0x1688}, {0x1BFD, 0x8888}, {0x046D, 0xC31C}};
const std::uint16_t UsagePages[] = {0xFF00, 0x000D, 0x0001};
const char* const Versions[] = {"1.0.5", "1.0.7", "1.0.8", "1.0.6", "1.0", "1.0.50"};
const sim::PlatformCall Calls[] = {
    sim::PlatformCall::GetClassDevs,     sim::PlatformCall::EnumDeviceInterfaces,
    sim::PlatformCall::DetailSizeQuery,  sim::PlatformCall::DetailFetch,
    sim::PlatformCall::CreateFile,       sim::PlatformCall::GetAttributes,
    sim::PlatformCall::GetPreparsedData, sim::PlatformCall::GetCaps,
    sim::PlatformCall::SetFeature,       sim::PlatformCall::GetFeature};

template <typename T, std::size_t N> const T& Pick(FuzzedDataProvider& input, const T (&table)[N]) {
    return table[input.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

sim::ControllerBehaviour DecodeBehaviour(FuzzedDataProvider& input) {
    sim::ControllerBehaviour behaviour;
    behaviour.version =
        input.ConsumeBool()
            ? std::string(Pick(input, Versions))
            : input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, 9));
    behaviour.silentExchanges = input.ConsumeIntegralInRange(0, 5);
    behaviour.garbledExchanges = input.ConsumeIntegralInRange(0, 5);
    behaviour.vanishAfterExchanges = input.ConsumeIntegralInRange(-1, 21);
    if (input.ConsumeBool())
        behaviour.refusedParameters.insert(input.ConsumeIntegralInRange(0x3A, 0x3F));
    behaviour.refuseClosing = input.ConsumeIntegralInRange(0, 7) == 0;
    int planted = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < planted; ++i) {
        sim::FeatureReportBytes report{};
        for (std::uint8_t& byte : report)
            byte = input.ConsumeIntegral<std::uint8_t>();
        behaviour.plantedAnswers.push_back(report);
    }
    return behaviour;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    sim::SimulatedBus bus;
    hostplatform::ScopedBus scoped(bus);

    // One supported vendor collection at most: the controller is found afresh for every
    // transaction, so with two, a failure in one discovery can send a command to one and read
    // the other's stale answer, which no single run can tell apart.
    bool vendorCollectionPlaced = false;
    int interfaces = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < interfaces; ++i) {
        sim::SimulatedInterface device;
        const auto& identity = Pick(input, Identities);
        device.vendorId = identity[0];
        device.productId = identity[1];
        device.usagePage = Pick(input, UsagePages);
        if (sim::IsSupportedVendorCollection(device) && vendorCollectionPlaced)
            device.usagePage = 0x000D;
        vendorCollectionPlaced = vendorCollectionPlaced || sim::IsSupportedVendorCollection(device);
        device.devicePath = sim::HidDevicePath(device.vendorId, device.productId, 1, i);
        if (input.ConsumeBool())
            device.controller = std::make_shared<sim::SimulatedController>(DecodeBehaviour(input));
        bus.interfaces.push_back(device);
    }

    std::map<long, sim::Failure> faults; // by call number
    int faultCount = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < faultCount; ++i) {
        long number = input.ConsumeIntegralInRange<long>(1, 400);
        std::vector<sim::Failure> kinds = sim::FailuresOf(Pick(input, Calls));
        faults[number] = kinds[input.ConsumeIntegralInRange<std::size_t>(0, kinds.size() - 1)];
    }
    bus.inject = [&faults](const sim::CallSite& site) {
        auto found = faults.find(site.number);
        if (found == faults.end())
            return sim::Failure::None;
        // A kind of failure that this call cannot have becomes one that it can.
        std::vector<sim::Failure> kinds = sim::FailuresOf(site.call);
        for (sim::Failure kind : kinds) {
            if (kind == found->second)
                return kind;
        }
        return kinds.front();
    };

    FuzzCheck(PatchTouchParameters() == 0, "result other than 0");
    std::string broken = sim::CheckBusInvariants(bus) + sim::CheckOutcome(bus);
    FuzzCheck(broken.empty(), broken);
    int writes = 0;
    for (const sim::TraceEvent& event : bus.trace)
        writes += event.kind == sim::TraceEvent::WriteReport;
    FuzzCheck(writes <= 20, "more than 20 exchanges");
    return 0;
}
