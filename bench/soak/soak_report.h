// What a soak run counts and finds.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace veltrano::soak {

class SoakReport {
  public:
    void Fault(const std::string& kind) {
        std::lock_guard lock(mutex_);
        ++faults_[kind];
    }
    void Finding(const std::string& text) {
        std::lock_guard lock(mutex_);
        findings_.push_back(text);
    }
    // The longest time one kind of stop took, in ms.
    void StopTime(const std::string& kind, double ms) {
        std::lock_guard lock(mutex_);
        double& worst = stops_[kind];
        worst = std::max(worst, ms);
    }
    std::map<std::string, long> Faults() const {
        std::lock_guard lock(mutex_);
        return faults_;
    }
    std::vector<std::string> Findings() const {
        std::lock_guard lock(mutex_);
        return findings_;
    }
    std::map<std::string, double> StopTimes() const {
        std::lock_guard lock(mutex_);
        return stops_;
    }

    long connections = 0;
    long connectFailures = 0;
    long linkLosses = 0;  // reconnects after the ECU fell silent
    long rowsChecked = 0;
    long writesChecked = 0;
    long writesFailedVisibly = 0;

  private:
    mutable std::mutex mutex_;
    std::map<std::string, long> faults_;
    std::vector<std::string> findings_;
    std::map<std::string, double> stops_;
};

}  // namespace veltrano::soak
