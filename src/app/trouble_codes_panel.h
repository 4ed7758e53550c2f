// The "ОШИБКИ ЭБУ" page: the clear and read buttons and the codes of every read, newest
// first, each with the time of the read and a description.
#pragma once

#include <QTime>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace veltrano {

class TOBDII;

class TroubleCodesPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TroubleCodesPanel(QWidget* parent = nullptr);

    // The link whose reads are listed from now on (null: none).
    void Watch(const TOBDII* link);
    // Lists the reads the watched link answered since the last call.
    void Poll();
    // A clear was sent: the next read is its read-back.
    void NoteClearRequested() { afterClear_ = true; }
    // Lists one read.
    void AddRead(const QTime& at, const std::vector<std::string>& codes);

    QPushButton* ClearButton() const { return clear_; }
    QPushButton* ReadButton() const { return read_; }
    QTreeWidget* List() const { return list_; }

  signals:
    void clearRequested();
    void readRequested();

  private:
    QPushButton* clear_ = nullptr;
    QPushButton* read_ = nullptr;
    QTreeWidget* list_ = nullptr;
    const TOBDII* link_ = nullptr;
    std::uint64_t seen_ = 0;
    bool afterClear_ = false;
};

}  // namespace veltrano
