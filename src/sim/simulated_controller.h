// A touch controller as seen through its vendor-defined HID collection: it takes a command as
// feature report 1 and leaves its answer in the same report, for the next read to fetch.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>

namespace sim {

constexpr int FeatureReportSize = 13;
using FeatureReportBytes = std::array<std::uint8_t, FeatureReportSize>;

struct ControllerBehaviour {
    std::string version = "1.0.7";
    int silentExchanges = 0;       // the first N commands get no answer at all
    int garbledExchanges = 0;      // the first N commands (after the silent ones) get noise
    int vanishAfterExchanges = -1; // leaves the bus after N commands; -1: stays
    std::set<int> refusedParameters;
    bool refuseClosing = false;
    // Whole reports left as the answers to the first commands, one each, for hostile replies.
    std::deque<FeatureReportBytes> plantedAnswers;
};

class SimulatedController {
  public:
    explicit SimulatedController(ControllerBehaviour behaviour = {});

    void TakeCommand(const FeatureReportBytes& report);
    // Puts any report in place of the controller's answer, for hostile replies.
    void Hold(const FeatureReportBytes& report) {
        held_ = report;
    }
    const FeatureReportBytes& HeldReport() const {
        return held_;
    }

    bool Present() const;
    int Exchanges() const {
        return exchanges_;
    }
    const std::map<int, int>& Parameters() const {
        return parameters_;
    }
    bool PatchStored() const {
        return patchStored_;
    }
    const ControllerBehaviour& Behaviour() const {
        return behaviour_;
    }
    // Whether any answer so far was a planted one, which need not reflect the controller's state.
    bool GavePlantedAnswers() const {
        return gavePlantedAnswers_;
    }

  private:
    void Answer(const std::string& data);

    ControllerBehaviour behaviour_;
    FeatureReportBytes held_{};
    int exchanges_ = 0;
    std::map<int, int> parameters_;
    bool patchStored_ = false;
    bool gavePlantedAnswers_ = false;
};

} // namespace sim
