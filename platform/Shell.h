#pragma once

#include <QUrl>

namespace platform {

// The desktop's own handlers: an address given to it opens in the program the user chose
// for its kind, a web address in the web browser.
class Shell {
public:
    virtual ~Shell() = default;

    // False when no handler took the address.
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace platform
