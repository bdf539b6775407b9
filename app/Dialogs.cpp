#include "Dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace {

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // An existing file is replaced without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (save)
        dialog.selectFile(QDir(request.folder).filePath(request.proposedName));
    // A name typed without an extension takes the chosen entry's.
    const auto suffixOf = [&dialog](const QString& filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        if (const auto match = pattern.match(filter); match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixOf);
    if (!request.selectedFilter.isEmpty()) {
        dialog.selectNameFilter(request.selectedFilter);
        suffixOf(request.selectedFilter);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (request.chosenFilter)
        *request.chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().front();
}

} // namespace

DialogSeams& Dialogs() {
    static DialogSeams seams{
        [](QWidget* parent, const FileDialogRequest& r) { return RunFileDialog(parent, r, false); },
        [](QWidget* parent, const FileDialogRequest& r) { return RunFileDialog(parent, r, true); },
        [](QWidget* parent, const QColor& initial) -> std::optional<QColor> {
            const QColor chosen = QColorDialog::getColor(initial, parent);
            return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
        }};
    return seams;
}
