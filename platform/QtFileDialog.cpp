#include "QtFileDialog.h"

#include <QFileDialog>

namespace platform {

QtFileDialog::QtFileDialog(QWidget* owner)
    : owner_(owner)
{
}

std::optional<QStringList> QtFileDialog::ask(Mode mode)
{
    // The system's own titles when the caller set none, as the common dialog shows them.
    QString title = DialogTitle();
    if (title.isEmpty())
        title = mode == Mode::Open ? QStringLiteral("打开") : QStringLiteral("另存为");

    QFileDialog dialog(owner_, title);
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (mode == Mode::Save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (Flags() & AllowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (mode == Mode::Save && !(Flags() & OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);

    const QStringList filters = nameFilters(Filter());
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // A multiple selection comes back as folder NUL names; only a plain name or path is
    // a useful starting choice.
    if (!FileName().isEmpty() && !FileName().contains(QChar(u'\0')))
        dialog.selectFile(FileName());

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

} // namespace platform
