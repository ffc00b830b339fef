#pragma once

#include "platform/FileDialog.h"

#include <QList>

#include <deque>
#include <optional>

namespace platform {

// The answers that the file dialogs of a test give, shared by every FakeFileDialog made
// from it, and what each dialog was asked with.
class FileDialogScript {
public:
    struct Shown {
        FileDialog::Mode mode = FileDialog::Mode::Open;
        QString title;
        QString filter;
        int flags = 0;
        bool cancelError = false;
        QString fileName; // FileName as it stood when the dialog opened
    };

    // The next dialog returns these full paths, as if the user chose them.
    void choose(const QStringList& paths) { answers_.push_back({ false, paths }); }
    // The next dialog is cancelled. A dialog with no answer left is cancelled as well.
    void cancel() { answers_.push_back({ true, {} }); }

    const QList<Shown>& shown() const { return shown_; }

    std::optional<QStringList> answer(const Shown& request);

private:
    struct Answer {
        bool cancelled = true;
        QStringList paths;
    };
    std::deque<Answer> answers_;
    QList<Shown> shown_;
};

class FakeFileDialog final : public FileDialog {
public:
    explicit FakeFileDialog(FileDialogScript& script)
        : script_(script)
    {
    }

protected:
    std::optional<QStringList> ask(Mode mode) override;

private:
    FileDialogScript& script_;
};

} // namespace platform
