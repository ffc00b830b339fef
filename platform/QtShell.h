#pragma once

#include "Shell.h"

namespace platform {

// The desktop's handlers through QDesktopServices.
class QtShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace platform
