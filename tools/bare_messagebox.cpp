// The yardstick for touchpatch.exe's size: a bare GUI program that formats a text with snprintf
// and shows it in a message box.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    char text[32];
    std::snprintf(text, sizeof text, "%02X%04X", static_cast<unsigned>(show), 200u);
    MessageBoxA(nullptr, text, "MESSAGE", MB_OK);
    return 0;
}
