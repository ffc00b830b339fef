#include "FakeFileDialog.h"

namespace platform {

std::optional<QStringList> FileDialogScript::answer(const Shown& request)
{
    shown_ << request;
    if (answers_.empty())
        return std::nullopt;
    const Answer next = answers_.front();
    answers_.pop_front();
    if (next.cancelled)
        return std::nullopt;
    return next.paths;
}

std::optional<QStringList> FakeFileDialog::ask(Mode mode)
{
    return script_.answer({ mode, DialogTitle(), Filter(), Flags(), CancelError(), FileName() });
}

} // namespace platform
