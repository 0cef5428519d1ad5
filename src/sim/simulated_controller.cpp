#include "sim/simulated_controller.h"

#include <algorithm>
#include <cstdlib>

namespace sim {

namespace {

const char Acknowledgement[] = "\x01"
                               "0\r";
const char Refusal[] = "\x01"
                       "1\r";
// Starts with NAK, so it is neither a version reply nor an acknowledgement.
const char Noise[] = "\x15#~garble?";

int ParseHex(const std::string& text) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 16);
    return (text.empty() || *end != '\0') ? -1 : static_cast<int>(value);
}

} // namespace

SimulatedController::SimulatedController(ControllerBehaviour behaviour)
    : behaviour_(std::move(behaviour)) {
    held_[0] = 1;
}

bool SimulatedController::Present() const {
    return behaviour_.vanishAfterExchanges < 0 || exchanges_ < behaviour_.vanishAfterExchanges;
}

void SimulatedController::Answer(const std::string& data) {
    held_.fill(0);
    held_[0] = 1;
    std::size_t length = std::min<std::size_t>(data.size(), 10);
    held_[1] = static_cast<std::uint8_t>(length);
    std::copy_n(data.begin(), length, held_.begin() + 2);
}

void SimulatedController::TakeCommand(const FeatureReportBytes& report) {
    ++exchanges_;
    if (!behaviour_.plantedAnswers.empty()) {
        held_ = behaviour_.plantedAnswers.front();
        behaviour_.plantedAnswers.pop_front();
        gavePlantedAnswers_ = true;
        return;
    }
    if (exchanges_ <= behaviour_.silentExchanges) {
        Answer("");
        return;
    }
    if (exchanges_ <= behaviour_.silentExchanges + behaviour_.garbledExchanges) {
        Answer(Noise);
        return;
    }
    std::size_t length = std::min<std::size_t>(report[1], 10);
    std::string frame(report.begin() + 2, report.begin() + 2 + static_cast<long>(length));
    if (frame.size() < 4 || frame.front() != '\x01' || frame.back() != '\r') {
        Answer(Refusal);
        return;
    }
    std::string command = frame.substr(1, 2);
    std::string arguments = frame.substr(3, frame.size() - 4);
    if (command == "OI" && arguments.empty()) {
        Answer("\x01" + behaviour_.version + "\r");
    } else if (command == "SP" && arguments.size() == 6) {
        int number = ParseHex(arguments.substr(0, 2));
        int value = ParseHex(arguments.substr(2));
        if (number < 0 || value < 0 || behaviour_.refusedParameters.count(number)) {
            Answer(Refusal);
            return;
        }
        parameters_[number] = value;
        Answer(Acknowledgement);
    } else if (command == "PL" && arguments.empty() && !behaviour_.refuseClosing) {
        patchStored_ = true;
        Answer(Acknowledgement);
    } else {
        Answer(Refusal);
    }
}

} // namespace sim
