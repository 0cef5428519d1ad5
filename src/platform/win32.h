// The one place through which touchpatch reaches its platform: kernel32, user32, the setup API
// and the HID class driver. On Windows these are the SDK's own declarations; elsewhere they are
// declarations of our host stand-in, with the same names, signatures, C linkage and the Windows
// widths and record layouts, so that the same code builds and runs against either.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <setupapi.h>

// MinGW-w64's HID headers carry no C++ guard of their own; hidsdi.h brings hidusage.h and
// hidpi.h in the order they need.
extern "C" {
#include <hidsdi.h>
}

#ifndef _WIN64
// The controller's protocol was fixed against the 32-bit records.
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28, "32-bit interface record");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5, "32-bit detail record");
static_assert(sizeof(HIDD_ATTRIBUTES) == 12, "attributes record");
#endif

#else

#include <cstdint>

#define WINAPI

extern "C" {

typedef int BOOL;
typedef unsigned char BOOLEAN;
typedef char CHAR;
typedef std::uint16_t USHORT;
typedef std::uint32_t DWORD;
typedef std::uint32_t ULONG;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef std::uintptr_t ULONG_PTR;
typedef LONG NTSTATUS;
typedef USHORT USAGE;
typedef void* PVOID;
typedef void* HANDLE;
typedef DWORD* PDWORD;
typedef const char* LPCSTR;
typedef const char* PCSTR;

struct HWND__;
typedef HWND__* HWND;
typedef PVOID HDEVINFO;

typedef struct _GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    unsigned char Data4[8];
} GUID, *LPGUID;

typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef struct _SP_DEVINFO_DATA* PSP_DEVINFO_DATA;

typedef struct _SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
} SP_DEVICE_INTERFACE_DATA, *PSP_DEVICE_INTERFACE_DATA;

typedef struct _SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    CHAR DevicePath[1];
} SP_DEVICE_INTERFACE_DETAIL_DATA_A, *PSP_DEVICE_INTERFACE_DETAIL_DATA_A;

typedef struct _HIDD_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
} HIDD_ATTRIBUTES, *PHIDD_ATTRIBUTES;

typedef struct _HIDP_CAPS {
    USAGE Usage;
    USAGE UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
} HIDP_CAPS, *PHIDP_CAPS;

typedef struct _HIDP_PREPARSED_DATA* PHIDP_PREPARSED_DATA;

#define TRUE 1
#define FALSE 0
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define DIGCF_PRESENT 0x00000002
#define DIGCF_DEVICEINTERFACE 0x00000010
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define OPEN_EXISTING 3
#define MB_OK 0x00000000
#define HIDP_STATUS_SUCCESS (static_cast<NTSTATUS>(0x00110000))

void WINAPI Sleep(DWORD dwMilliseconds);
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI CloseHandle(HANDLE hObject);

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent,
                                     DWORD Flags);
BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData);
BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(
    HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
    PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
    DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize, PSP_DEVINFO_DATA DeviceInfoData);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);

void HidD_GetHidGuid(LPGUID HidGuid);
BOOLEAN HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes);
BOOLEAN HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData);
BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities);
BOOLEAN HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
BOOLEAN HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
}

// The stand-in lays its records out as 64-bit Windows does.
static_assert(sizeof(void*) == 8, "the host stand-in is for 64-bit hosts");
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32, "64-bit layout of the interface record");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8, "64-bit layout of the detail record");
static_assert(sizeof(HIDD_ATTRIBUTES) == 12, "layout of the attributes record");
static_assert(sizeof(HIDP_CAPS) == 64, "layout of the capabilities record");

#endif
