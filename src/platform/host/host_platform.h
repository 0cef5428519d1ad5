// What stands behind the host stand-in of the platform functions: one simulated bus, with its
// clock and message boxes. Until a test or a tool installs its own, the stand-in uses a bus with
// no devices, real waits, and message boxes shown on the terminal.
#pragma once

#include "sim/simulated_bus.h"

namespace hostplatform {

sim::SimulatedBus& CurrentBus();

// Makes `bus` the one behind the stand-in for as long as the object lives.
class ScopedBus {
  public:
    explicit ScopedBus(sim::SimulatedBus& bus);
    ~ScopedBus();
    ScopedBus(const ScopedBus&) = delete;
    ScopedBus& operator=(const ScopedBus&) = delete;

  private:
    sim::SimulatedBus* previous_;
};

// Shows a message box as text and, when standard input is a terminal, waits for Enter as the
// real box waits for OK.
void ShowMessageBoxOnTerminal(const sim::MessageBoxRecord& box);

} // namespace hostplatform
