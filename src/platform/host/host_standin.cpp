// The host stand-in of kernel32 and user32 over the simulated bus, and the host face of the
// simulated setup API and HID class driver: handles are the bus's own numbers.
#include "platform/host/host_platform.h"
#include "sim/simulated_win32.h"

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

namespace sim {

SimulatedBus& FaceBus() {
    return hostplatform::CurrentBus();
}

int FaceInterfaceOf(HANDLE handle) {
    return hostplatform::CurrentBus().InterfaceOf(IdOf(handle));
}

} // namespace sim

using hostplatform::CurrentBus;
using sim::IdOf;

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
    return handle ? sim::FromId<HANDLE>(handle) : INVALID_HANDLE_VALUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    return CurrentBus().Close(IdOf(hObject)) ? TRUE : FALSE;
}

} // extern "C"
