#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace veltrano {
namespace {

QString Ask(QFileDialog& dialog) {
    // The widgets exist once the dialog is set up; a desktop dialog has none.
    QTimer::singleShot(0, &dialog, [&dialog] { FitFileDialog(dialog); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

}  // namespace

void FitFileDialog(QFileDialog& dialog) {
    if (auto* tree = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (auto* places = dialog.findChild<QListView*>("sidebar")) {
        const int wanted = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8;
        places->setMinimumWidth(std::max(places->minimumWidth(), wanted));
    }
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                        const QString& filter) {
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Ask(dialog);
}

QString AskSaveFileName(QWidget* parent, const QString& filter, QString* selectedFilter) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (selectedFilter != nullptr && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    const QString path = Ask(dialog);
    if (!path.isEmpty() && selectedFilter != nullptr)
        *selectedFilter = dialog.selectedNameFilter();
    return path;
}

}  // namespace veltrano
