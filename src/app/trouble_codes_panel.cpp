#include "app/trouble_codes_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "link/obdii.h"
#include "link/trouble_code_descriptions.h"

namespace veltrano {
namespace t = app_texts;

TroubleCodesPanel::TroubleCodesPanel(QWidget* parent) : QWidget(parent) {
    auto* col = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout();
    clear_ = new QPushButton(t::kClearCodes, this);
    clear_->setObjectName("ClearErrorsButton");
    clear_->setFixedWidth(160);
    read_ = new QPushButton(t::kReadCodes, this);
    read_->setObjectName("ReadErrorsButton");
    read_->setFixedWidth(160);
    buttons->addWidget(read_);
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    col->addLayout(buttons);

    list_ = new QTreeWidget(this);
    list_->setObjectName("TroubleCodeList");
    list_->setColumnCount(3);
    list_->setHeaderLabels({t::kCodesTime, t::kCodesCode, t::kCodesDescription});
    list_->setRootIsDecorated(false);
    list_->setIndentation(0);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(0, 90);
    list_->setColumnWidth(1, 70);
    col->addWidget(list_, 1);

    connect(clear_, &QPushButton::clicked, this, &TroubleCodesPanel::clearRequested);
    connect(read_, &QPushButton::clicked, this, &TroubleCodesPanel::readRequested);
}

void TroubleCodesPanel::Watch(const TOBDII* link) {
    link_ = link;
    seen_ = link ? link->TroubleCodeReads.load() : 0;
    afterClear_ = false;
}

void TroubleCodesPanel::Poll() {
    if (!link_)
        return;
    const std::uint64_t reads = link_->TroubleCodeReads.load();
    if (reads == seen_)
        return;
    seen_ = reads;
    AddRead(QTime::currentTime(), link_->OBD_ERROR.Items());
}

void TroubleCodesPanel::AddRead(const QTime& at, const std::vector<std::string>& codes) {
    QString summary =
        codes.empty() ? QString(t::kCodesNone) : QString(t::kCodesCount).arg(codes.size());
    if (std::exchange(afterClear_, false))
        summary = QString(t::kCodesAfterClear) + summary;
    auto* read = new QTreeWidgetItem({at.toString("HH:mm:ss"), QString(), summary});
    QFont bold = read->font(0);
    bold.setBold(true);
    for (int c = 0; c < 3; ++c)
        read->setFont(c, bold);
    for (const std::string& code : codes) {
        new QTreeWidgetItem(read,
                            {QString(), QString::fromStdString(code),
                             QString::fromUtf8(TroubleCodeDescription(code).data(),
                                               qsizetype(TroubleCodeDescription(code).size()))});
    }
    list_->insertTopLevelItem(0, read);
    read->setExpanded(true);
}

}  // namespace veltrano
