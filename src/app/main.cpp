#include "patch/patch_procedure.h"
#include "platform/win32.h"

#ifdef _WIN32

// A GUI-subsystem program, so that no console flashes up; it opens no window of its own either,
// and whatever it is started with changes nothing.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return PatchTouchParameters();
}

#else

int main() {
    return PatchTouchParameters();
}

#endif
