#pragma once

#include "platform/Shell.h"

#include <QList>

namespace platform {

// The desktop's handlers for tests: the addresses handed over are recorded, none opened.
class FakeShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override
    {
        opened_ << url;
        return true;
    }

    const QList<QUrl>& opened() const { return opened_; }

private:
    QList<QUrl> opened_;
};

} // namespace platform
