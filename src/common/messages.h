// How the core reports to the user without knowing about windows: the window shows
// modal boxes, the CLI prints, tests record.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

class Messages {
  public:
    virtual ~Messages() = default;
    // A warning box; the caption is "Ошибка" unless a Part names another.
    virtual void Warning(const std::string& text, const std::string& caption = "Ошибка") = 0;
    // An information box.
    virtual void Information(const std::string& text, const std::string& caption = "") = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(const std::string& text, const std::string& caption = "") = 0;
};

// Swallows everything; answers questions with `answer`.
class SilentMessages final : public Messages {
  public:
    explicit SilentMessages(bool answer = false) : answer_(answer) {}
    void Warning(const std::string&, const std::string&) override {}
    void Information(const std::string&, const std::string&) override {}
    bool Confirm(const std::string&, const std::string&) override { return answer_; }

  private:
    bool answer_;
};

// Keeps every message, for tests and the command line.
class RecordedMessages final : public Messages {
  public:
    struct Entry {
        std::string kind;  // "warning", "information", "confirm"
        std::string caption;
        std::string text;
    };
    explicit RecordedMessages(bool answer = true) : answer_(answer) {}
    void Warning(const std::string& text, const std::string& caption) override {
        entries.push_back({"warning", caption, text});
    }
    void Information(const std::string& text, const std::string& caption) override {
        entries.push_back({"information", caption, text});
    }
    bool Confirm(const std::string& text, const std::string& caption) override {
        entries.push_back({"confirm", caption, text});
        return answer_;
    }
    std::vector<Entry> entries;

  private:
    bool answer_;
};

}  // namespace veltrano
