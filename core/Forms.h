#pragma once

#include "FormInstance.h"

#include <memory>

namespace platform {
class Platform;
}

class frmMain;
class frmOpen;
class frmAbout;
class frmList;
class frmBKList;

namespace core {

// The windows of one run of the player: the main window, made once and living for the
// whole run, and the one instance of each secondary window, made on first use. Every
// window reaches the others and the platform services through this object.
class Forms {
public:
    explicit Forms(platform::Platform& platform);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    platform::Platform& platform() const { return platform_; }

    // Made on first use. The secondary windows belong to it as their owner.
    frmMain& main();

    FormInstance<frmOpen> open;
    FormInstance<frmAbout> about;
    FormInstance<frmList> list;
    FormInstance<frmBKList> bkList;

private:
    platform::Platform& platform_;
    std::unique_ptr<frmMain> main_;
};

} // namespace core
