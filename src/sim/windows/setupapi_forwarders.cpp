// setupapi.dll of the simulated bus holds no code: its exports forward to hid.dll, where the one
// bus lives (setupapi.def), so that discovery and feature reports see the same devices.
namespace {
[[maybe_unused]] const char Role[] = "touchpatch simulated setupapi.dll";
}
