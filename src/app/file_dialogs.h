// Open and save dialogs. Where Qt draws the dialog itself (no desktop dialog to hand it to),
// its columns and places list are widened to show their text whole instead of cutting it.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace veltrano {

QString AskOpenFileName(QWidget* parent, const QString& caption = QString(),
                        const QString& dir = QString(), const QString& filter = QString());

// `selectedFilter` gives the filter shown first and takes the one chosen.
QString AskSaveFileName(QWidget* parent, const QString& filter, QString* selectedFilter);

// Columns as wide as their contents, the name column taking what is left; a no-op for a
// desktop dialog.
void FitFileDialog(QFileDialog& dialog);

}  // namespace veltrano
