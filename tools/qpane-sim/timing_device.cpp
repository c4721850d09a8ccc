#include "timing_device.h"

namespace qpane::sim {

std::string TimingDevice::take(std::string_view line) {
    if (mode_ == DeviceMode::Direct) return kStx + std::string(line) + kEtx;
    held_.emplace_back(line);
    return {};
}

std::string TimingDevice::poll() {
    if (mode_ == DeviceMode::Direct) return {};
    return kind_ == RaceKind::Alpine ? alpineAnswer() : crossAnswer();
}

std::string TimingDevice::alpineAnswer() {
    const std::string pollByte(1, static_cast<char>(kPoll));
    if (held_.empty()) {
        if (!inBatch_) return pollByte;
        inBatch_ = false;
        return pollByte + pollByte;
    }
    std::string answer;
    if (!inBatch_) answer += lineEnd_;
    inBatch_ = true;
    answer += kStx + held_.front() + lineEnd_;
    held_.pop_front();
    return answer;
}

std::string TimingDevice::crossAnswer() {
    if (held_.empty()) return std::string(1, static_cast<char>(kPoll));
    std::string answer = "@";
    for (const std::string& line : held_)
        answer += kStx + line + kEtx + "@";
    held_.clear();
    return answer;
}

}  // namespace qpane::sim
