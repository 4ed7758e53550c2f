// The window's message sink: modal boxes on the GUI thread. Calls from other threads are
// carried over to it. With boxes switched off (tests, screenshots) it only records.
#pragma once

#include <QObject>
#include <atomic>
#include <mutex>

#include "common/messages.h"

class QWidget;

namespace veltrano {

class QtMessages final : public QObject, public Messages {
    Q_OBJECT
  public:
    explicit QtMessages(QWidget* parent);
    void Warning(const std::string& text, const std::string& caption) override;
    void Information(const std::string& text, const std::string& caption) override;
    bool Confirm(const std::string& text, const std::string& caption) override;
    // A plain box with no icon and no caption of its own.
    void Plain(const std::string& text);
    enum class Answer { Yes, No, Cancel };
    // A question with the buttons "Да", "Нет" and "Отмена"; GUI thread only. With boxes
    // switched off it is recorded and answered with the scripted answer.
    Answer AskYesNoCancel(const std::string& text, const std::string& caption);
    void SetScriptedAnswer(Answer a) { scripted_ = a; }

    void SetInteractive(bool on) { interactive_ = on; }
    // Every message so far (kind, caption, text).
    std::vector<RecordedMessages::Entry> Entries() const;
    void ClearEntries();

  private:
    void Show(const std::string& kind, const std::string& text, const std::string& caption);
    QWidget* parent_;
    std::atomic<bool> interactive_{true};
    Answer scripted_ = Answer::No;
    mutable std::mutex mutex_;
    std::vector<RecordedMessages::Entry> entries_;
};

}  // namespace veltrano
