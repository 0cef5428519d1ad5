#pragma once

// The whole run of the program: asks the controller for its version and, for the versions that
// need it, writes the touch parameters and tells the user the outcome. Always returns 0.
int PatchTouchParameters();
