#pragma once

#include "platform/FolderPicker.h"

#include <QStringList>

#include <deque>

namespace platform {

// A folder picker for tests: each picker shown takes the next scripted folder, or is
// cancelled when none is left; the titles it was shown with are recorded.
class FakeFolderPicker final : public FolderPicker {
public:
    QString browseForFolder(QWidget*, const QString& title) override
    {
        titles_ << title;
        if (answers_.empty())
            return {};
        const QString folder = answers_.front();
        answers_.pop_front();
        return folder;
    }

    void choose(const QString& folder) { answers_.push_back(folder); }
    void cancel() { answers_.push_back(QString()); }
    const QStringList& titles() const { return titles_; }

private:
    std::deque<QString> answers_;
    QStringList titles_;
};

} // namespace platform
