// The host stand-in of kernel32, user32, the setup API and the HID class driver, over the
// simulated bus. It checks its callers as Windows does where that catches real faults: record
// sizes, buffer sizes, handles that are not open.
#include "platform/host/host_platform.h"
#include "platform/win32.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

namespace hostplatform {

namespace {

sim::SimulatedBus& DefaultBus() {
    static sim::SimulatedBus bus = [] {
        sim::SimulatedBus made;
        made.realTime = true;
        made.showMessageBox = ShowMessageBoxOnTerminal;
        return made;
    }();
    return bus;
}

sim::SimulatedBus* installedBus = nullptr;

} // namespace

sim::SimulatedBus& CurrentBus() {
    return installedBus ? *installedBus : DefaultBus();
}

ScopedBus::ScopedBus(sim::SimulatedBus& bus) : previous_(installedBus) {
    installedBus = &bus;
}

ScopedBus::~ScopedBus() {
    installedBus = previous_;
}

void ShowMessageBoxOnTerminal(const sim::MessageBoxRecord& box) {
    std::printf("[%s] %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stdout);
    if (isatty(STDIN_FILENO)) {
        std::printf("(press Enter for OK)");
        std::fflush(stdout);
        std::string line;
        std::getline(std::cin, line);
    }
}

} // namespace hostplatform

namespace {

using hostplatform::CurrentBus;

// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID device interface class.
const GUID HidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

const NTSTATUS HidpStatusInvalidPreparsedData = static_cast<NTSTATUS>(0xC0110001u);

bool SameGuid(const GUID* a, const GUID& b) {
    return a && std::memcmp(a, &b, sizeof b) == 0;
}

long IdOf(const void* pointer) {
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <typename T> T FromId(long id) {
    return reinterpret_cast<T>(static_cast<std::uintptr_t>(id));
}

int InterfaceOfHandle(HANDLE handle) {
    return CurrentBus().InterfaceOf(IdOf(handle));
}

// The interface that an enumerated record stands for, as long as its list is open.
int InterfaceOfRecord(HDEVINFO list, const SP_DEVICE_INTERFACE_DATA* data) {
    sim::SimulatedBus& bus = CurrentBus();
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || !bus.ListIsOpen(IdOf(list)))
        return -1;
    int interfaceIndex = static_cast<int>(data->Reserved) - 1;
    return interfaceIndex < static_cast<int>(bus.interfaces.size()) ? interfaceIndex : -1;
}

bool TakeReport(PVOID buffer, ULONG length, sim::FeatureReportBytes& report) {
    // The collection's feature report is 13 bytes; the class driver refuses any other length.
    if (!buffer || length != sim::FeatureReportSize)
        return false;
    std::memcpy(report.data(), buffer, report.size());
    return true;
}

} // namespace

extern "C" {

void WINAPI Sleep(DWORD dwMilliseconds) {
    CurrentBus().Wait(dwMilliseconds);
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    CurrentBus().ShowMessageBox(lpCaption ? lpCaption : "Error", lpText ? lpText : "", uType);
    return 1; // IDOK
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                          HANDLE) {
    long handle = lpFileName ? CurrentBus().Open(lpFileName) : 0;
    return handle ? FromId<HANDLE>(handle) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    return CurrentBus().Close(IdOf(hObject)) ? TRUE : FALSE;
}

void HidD_GetHidGuid(LPGUID HidGuid) {
    *HidGuid = HidInterfaceClass;
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR, HWND, DWORD Flags) {
    const DWORD wanted = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
    if (!SameGuid(ClassGuid, HidInterfaceClass) || (Flags & wanted) != wanted)
        return INVALID_HANDLE_VALUE;
    long list = CurrentBus().MakeList();
    return list ? FromId<HDEVINFO>(list) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
    if (!DeviceInterfaceData || DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        !SameGuid(InterfaceClassGuid, HidInterfaceClass))
        return FALSE;
    int interfaceIndex = CurrentBus().EnumerateInterface(IdOf(DeviceInfoSet), MemberIndex);
    if (interfaceIndex < 0)
        return FALSE;
    DeviceInterfaceData->InterfaceClassGuid = HidInterfaceClass;
    DeviceInterfaceData->Flags = 1; // SPINT_ACTIVE
    DeviceInterfaceData->Reserved = static_cast<ULONG_PTR>(interfaceIndex) + 1;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(
    HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
    PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
    DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize, PSP_DEVINFO_DATA) {
    sim::SimulatedBus& bus = CurrentBus();
    int interfaceIndex = InterfaceOfRecord(DeviceInfoSet, DeviceInterfaceData);
    if (interfaceIndex < 0)
        return FALSE;
    const std::string& path = bus.interfaces[static_cast<std::size_t>(interfaceIndex)].devicePath;
    const DWORD needed = static_cast<DWORD>(
        offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);

    if (!DeviceInterfaceDetailData) {
        // The size query always "fails" with an insufficient buffer; only the size counts.
        switch (bus.DetailSizeFailure(interfaceIndex)) {
        case sim::Failure::NoSize:
            return FALSE;
        case sim::Failure::ShortSize:
            *RequiredSize = 1;
            return FALSE;
        case sim::Failure::WrongSize:
            *RequiredSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            return FALSE;
        default:
            if (RequiredSize)
                *RequiredSize = needed;
            return FALSE;
        }
    }
    if (DeviceInterfaceDetailData->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return FALSE;
    if (DeviceInterfaceDetailDataSize < needed) {
        if (RequiredSize)
            *RequiredSize = needed;
        return FALSE;
    }
    if (bus.DetailFetchFails(interfaceIndex))
        return FALSE;
    std::memcpy(DeviceInterfaceDetailData->DevicePath, path.c_str(), path.size() + 1);
    if (RequiredSize)
        *RequiredSize = needed;
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    return CurrentBus().DestroyList(IdOf(DeviceInfoSet)) ? TRUE : FALSE;
}

BOOLEAN HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes) {
    int interfaceIndex = InterfaceOfHandle(HidDeviceObject);
    if (interfaceIndex < 0 || !Attributes || Attributes->Size != sizeof(HIDD_ATTRIBUTES))
        return FALSE;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    if (!CurrentBus().ReadAttributes(interfaceIndex, vendorId, productId))
        return FALSE;
    Attributes->VendorID = vendorId;
    Attributes->ProductID = productId;
    Attributes->VersionNumber = 0x0100;
    return TRUE;
}

BOOLEAN HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
    int interfaceIndex = InterfaceOfHandle(HidDeviceObject);
    if (interfaceIndex < 0 || !PreparsedData)
        return FALSE;
    long preparsed = CurrentBus().ObtainPreparsedData(interfaceIndex);
    if (!preparsed)
        return FALSE;
    *PreparsedData = FromId<PHIDP_PREPARSED_DATA>(preparsed);
    return TRUE;
}

BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
    return CurrentBus().FreePreparsedData(IdOf(PreparsedData)) ? TRUE : FALSE;
}

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities) {
    std::uint16_t usagePage = 0;
    if (!Capabilities || !CurrentBus().ReadUsagePage(IdOf(PreparsedData), usagePage))
        return HidpStatusInvalidPreparsedData;
    std::memset(Capabilities, 0, sizeof *Capabilities);
    Capabilities->Usage = 1;
    Capabilities->UsagePage = usagePage;
    Capabilities->FeatureReportByteLength = sim::FeatureReportSize;
    return HIDP_STATUS_SUCCESS;
}

BOOLEAN HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
    int interfaceIndex = InterfaceOfHandle(HidDeviceObject);
    sim::FeatureReportBytes report{};
    if (interfaceIndex < 0 || !TakeReport(ReportBuffer, ReportBufferLength, report))
        return FALSE;
    return CurrentBus().WriteFeature(interfaceIndex, report) ? TRUE : FALSE;
}

BOOLEAN HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
    int interfaceIndex = InterfaceOfHandle(HidDeviceObject);
    sim::FeatureReportBytes report{};
    if (interfaceIndex < 0 || !TakeReport(ReportBuffer, ReportBufferLength, report))
        return FALSE;
    if (!CurrentBus().ReadFeature(interfaceIndex, report))
        return FALSE;
    std::memcpy(ReportBuffer, report.data(), report.size());
    return TRUE;
}

} // extern "C"
