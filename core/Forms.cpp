#include "Forms.h"

#include "chrome/frmAbout.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "playlist/frmList.h"

namespace core {

Forms::Forms(platform::Platform& platform)
    : open([this] { return new frmOpen(*this, &main()); })
    , about([this] { return new frmAbout(*this, &main()); })
    , list([this] { return new frmList(*this, &main()); })
    , bkList([this] { return new frmBKList(*this, &main()); })
    , platform_(platform)
{
}

// The secondary windows go first: they are owned by the main window, and their instances
// must not outlive it.
Forms::~Forms()
{
    bkList.unload();
    list.unload();
    about.unload();
    open.unload();
    main_.reset();
}

frmMain& Forms::main()
{
    if (!main_)
        main_ = std::make_unique<frmMain>(*this);
    return *main_;
}

} // namespace core
