// Takes the session log folder away for a while: the folder is moved aside and a plain
// file of the same name stands in its place, so every open below it fails (even as root,
// where permission bits do not stop a write).
#pragma once

#include <filesystem>

namespace veltrano::soak {

class LogOutage {
  public:
    explicit LogOutage(std::filesystem::path logs) : logs_(std::move(logs)) {}
    ~LogOutage() { End(); }

    bool Active() const { return active_; }
    // False when the folder could not be replaced.
    bool Begin();
    void End();

  private:
    std::filesystem::path Held() const { return logs_.string() + ".held"; }

    std::filesystem::path logs_;
    bool active_ = false;
};

}  // namespace veltrano::soak
