#include "hidlink/controller_discovery.h"

#include <cstddef>
#include <cstdlib>

namespace {

const USHORT VendorDefinedUsagePage = 0xFF00;

struct SupportedController {
    USHORT vendorId;
    USHORT productId;
};

// The identifiers bind as pairs: 0x1234 with 0x1688 is no controller of ours.
const SupportedController SupportedControllerTable[] = {{0x1234, 0x8888}, {0x1BFD, 0x1688}};

int IsSupportedController(const HIDD_ATTRIBUTES& attributes) {
    for (const SupportedController& supported : SupportedControllerTable) {
        if (attributes.VendorID == supported.vendorId)
            return attributes.ProductID == supported.productId;
    }
    return 0;
}

// Opens the interface behind `interfaceData` and returns its handle when it is the controller's
// command collection; otherwise releases all it took and returns INVALID_HANDLE_VALUE.
HANDLE OpenIfTouchController(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* interfaceData) {
    HANDLE found = INVALID_HANDLE_VALUE;
    HANDLE device = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail = nullptr;
    DWORD requiredSize = 0;
    HIDD_ATTRIBUTES attributes;
    HIDP_CAPS caps;

    // The size query always reports an insufficient buffer; only the size it sets counts. One
    // too small for the record's fixed part would have cbSize or the path written past the end.
    SetupDiGetDeviceInterfaceDetailA(list, interfaceData, nullptr, 0, &requiredSize, nullptr);
    if (requiredSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        goto done;
    detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(std::malloc(requiredSize));
    if (detail == nullptr)
        goto done;
    // cbSize is the fixed part alone: 5 bytes in a 32-bit process, 8 in a 64-bit one.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(list, interfaceData, detail, requiredSize, nullptr,
                                          nullptr))
        goto done;

    // Access 0 opens even collections that the system holds exclusively (keyboards, mice and
    // touch input); feature reports and attributes need no more.
    device = CreateFileA(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        goto done;

    attributes.Size = sizeof(HIDD_ATTRIBUTES);
    if (!HidD_GetAttributes(device, &attributes) || !IsSupportedController(attributes))
        goto done;
    if (!QueryHidCaps(device, &caps) || caps.UsagePage != VendorDefinedUsagePage)
        goto done;

    found = device;
    device = INVALID_HANDLE_VALUE;

done:
    if (device != INVALID_HANDLE_VALUE)
        CloseHandle(device);
    std::free(detail);
    return found;
}

} // namespace

int QueryHidCaps(HANDLE handle, HIDP_CAPS* caps) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;

    if (HidD_GetPreparsedData(handle, &preparsed) != TRUE)
        return 0;
    NTSTATUS status = HidP_GetCaps(preparsed, caps);
    HidD_FreePreparsedData(preparsed);
    return status == HIDP_STATUS_SUCCESS;
}

HANDLE OpenTouchController() {
    HANDLE found = INVALID_HANDLE_VALUE;
    GUID hidClass;
    SP_DEVICE_INTERFACE_DATA interfaceData;

    HidD_GetHidGuid(&hidClass);
    HDEVINFO list =
        SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;

    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    for (DWORD index = 0; found == INVALID_HANDLE_VALUE; ++index) {
        if (!SetupDiEnumDeviceInterfaces(list, nullptr, &hidClass, index, &interfaceData))
            break;
        found = OpenIfTouchController(list, &interfaceData);
    }

    SetupDiDestroyDeviceInfoList(list);
    return found;
}
