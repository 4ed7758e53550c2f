// Messages sink of the command line: warnings and information go to stderr.
#pragma once

#include <iostream>

#include "common/messages.h"

namespace veltrano {

class StderrMessages final : public Messages {
  public:
    void Warning(const std::string& text, const std::string&) override {
        std::cerr << text << '\n';
        ++warnings;
    }
    void Information(const std::string& text, const std::string&) override {
        std::cerr << text << '\n';
    }
    bool Confirm(const std::string&, const std::string&) override { return false; }
    int warnings = 0;
};

}  // namespace veltrano
