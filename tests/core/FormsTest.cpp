#include "core/Forms.h"
#include "chrome/frmAbout.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FormsTest : public ::testing::Test {
protected:
    platform::FakePlatform platform;
    core::Forms forms { platform };
};

} // namespace

TEST_F(FormsTest, SecondaryWindowIsMadeHiddenOnFirstUseAndShared)
{
    EXPECT_FALSE(forms.list.isLoaded());
    EXPECT_EQ(forms.list.loaded(), nullptr);

    frmList& list = forms.list.get();
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(&forms.list.get(), &list);
    EXPECT_EQ(forms.list.loaded(), &list);
    EXPECT_EQ(list.parentWidget(), &forms.main()) << "the main window owns it";
    EXPECT_TRUE(list.isWindow());
}

TEST_F(FormsTest, UnloadDestroysAndTheNextUseStartsAfresh)
{
    QPointer<frmOpen> first = &forms.open.get();
    first->show();
    forms.open.unload();
    EXPECT_FALSE(forms.open.isLoaded());
    EXPECT_FALSE(first->isVisible()) << "gone from the screen at once";

    frmOpen& second = forms.open.get();
    EXPECT_NE(&second, first.data());

    runDeferredDeletes();
    EXPECT_TRUE(first.isNull()) << "destroyed, not merely hidden";
    EXPECT_EQ(&forms.open.get(), &second);
}

TEST_F(FormsTest, UnloadingAWindowThatDoesNotExistCreatesNothing)
{
    forms.about.unload();
    forms.bkList.unload();
    EXPECT_FALSE(forms.about.isLoaded());
    EXPECT_TRUE(forms.main().findChildren<frmAbout*>().isEmpty());
    EXPECT_TRUE(forms.main().findChildren<frmBKList*>().isEmpty());
}

TEST_F(FormsTest, AWindowMayUnloadItselfFromItsOwnHandler)
{
    QPointer<frmOpen> open = &forms.open.get();
    bool ranOn = false;
    QObject::connect(open, &QObject::objectNameChanged, open, [&] {
        forms.open.unload();
        ranOn = open->objectName() == u"closing"; // the handler still runs on a live object
    });
    open->setObjectName(QStringLiteral("closing"));
    EXPECT_TRUE(ranOn);
    runDeferredDeletes();
    EXPECT_TRUE(open.isNull());
}

TEST(FormsLifetime, EndingTheRunTakesEveryWindowWithIt)
{
    platform::FakePlatform platform;
    QPointer<frmMain> main;
    QPointer<frmList> list;
    QPointer<frmOpen> pendingOpen;
    {
        core::Forms forms(platform);
        main = &forms.main();
        list = &forms.list.get();
        pendingOpen = &forms.open.get();
        forms.open.unload(); // still waiting for the event loop
    }
    EXPECT_TRUE(main.isNull());
    EXPECT_TRUE(list.isNull());
    EXPECT_TRUE(pendingOpen.isNull());
}
