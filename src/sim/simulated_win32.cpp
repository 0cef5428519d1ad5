#include "sim/simulated_win32.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

using sim::FaceBus;
using sim::IdOf;

// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID device interface class.
const GUID HidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

const NTSTATUS HidpStatusInvalidPreparsedData = static_cast<NTSTATUS>(0xC0110001u);

bool SameGuid(const GUID* a, const GUID& b) {
    return a && std::memcmp(a, &b, sizeof b) == 0;
}

// The interface that an enumerated record stands for, as long as its list is open.
int InterfaceOfRecord(HDEVINFO list, const SP_DEVICE_INTERFACE_DATA* data) {
    sim::SimulatedBus& bus = FaceBus();
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

void WINAPI HidD_GetHidGuid(LPGUID HidGuid) {
    *HidGuid = HidInterfaceClass;
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR, HWND, DWORD Flags) {
    const DWORD wanted = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
    if (!SameGuid(ClassGuid, HidInterfaceClass) || (Flags & wanted) != wanted)
        return INVALID_HANDLE_VALUE;
    long list = FaceBus().MakeList();
    return list ? sim::FromId<HDEVINFO>(list) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
    if (!DeviceInterfaceData || DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        !SameGuid(InterfaceClassGuid, HidInterfaceClass))
        return FALSE;
    int interfaceIndex =
        FaceBus().EnumerateInterface(IdOf(DeviceInfoSet), static_cast<long>(MemberIndex));
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
    sim::SimulatedBus& bus = FaceBus();
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
    return FaceBus().DestroyList(IdOf(DeviceInfoSet)) ? TRUE : FALSE;
}

BOOLEAN WINAPI HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes) {
    int interfaceIndex = sim::FaceInterfaceOf(HidDeviceObject);
    if (interfaceIndex < 0 || !Attributes || Attributes->Size != sizeof(HIDD_ATTRIBUTES))
        return FALSE;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    if (!FaceBus().ReadAttributes(interfaceIndex, vendorId, productId))
        return FALSE;
    Attributes->VendorID = vendorId;
    Attributes->ProductID = productId;
    Attributes->VersionNumber = 0x0100;
    return TRUE;
}

BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
    int interfaceIndex = sim::FaceInterfaceOf(HidDeviceObject);
    if (interfaceIndex < 0 || !PreparsedData)
        return FALSE;
    long preparsed = FaceBus().ObtainPreparsedData(interfaceIndex);
    if (!preparsed)
        return FALSE;
    *PreparsedData = sim::FromId<PHIDP_PREPARSED_DATA>(preparsed);
    return TRUE;
}

BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
    return FaceBus().FreePreparsedData(IdOf(PreparsedData)) ? TRUE : FALSE;
}

NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities) {
    std::uint16_t usagePage = 0;
    if (!Capabilities || !FaceBus().ReadUsagePage(IdOf(PreparsedData), usagePage))
        return HidpStatusInvalidPreparsedData;
    std::memset(Capabilities, 0, sizeof *Capabilities);
    Capabilities->Usage = 1;
    Capabilities->UsagePage = usagePage;
    Capabilities->FeatureReportByteLength = sim::FeatureReportSize;
    return HIDP_STATUS_SUCCESS;
}

BOOLEAN WINAPI HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer,
                               ULONG ReportBufferLength) {
    int interfaceIndex = sim::FaceInterfaceOf(HidDeviceObject);
    sim::FeatureReportBytes report{};
    if (interfaceIndex < 0 || !TakeReport(ReportBuffer, ReportBufferLength, report))
        return FALSE;
    return FaceBus().WriteFeature(interfaceIndex, report) ? TRUE : FALSE;
}

BOOLEAN WINAPI HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer,
                               ULONG ReportBufferLength) {
    int interfaceIndex = sim::FaceInterfaceOf(HidDeviceObject);
    sim::FeatureReportBytes report{};
    if (interfaceIndex < 0 || !TakeReport(ReportBuffer, ReportBufferLength, report))
        return FALSE;
    if (!FaceBus().ReadFeature(interfaceIndex, report))
        return FALSE;
    std::memcpy(ReportBuffer, report.data(), report.size());
    return TRUE;
}

} // extern "C"
