#pragma once

#include "core/Forms.h"
#include "core/frmMain.h"
#include "menu/frmBKList.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QStringList>

#include <gtest/gtest.h>

// The play list on the platform fakes: the main window, and the play-list window loaded
// hidden, as any use of the play list from elsewhere loads it.
class PlayListFixture : public ::testing::Test {
protected:
    platform::FakeMovieControl& flash() { return *platform.movieControl(); }
    frmList& list() { return forms.list.get(); }

    void fill(const QStringList& entries)
    {
        ASSERT_EQ(list().appendEntries(entries), entries.size());
        flash().clearCalls();
    }
    QStringList entries() { return list().List1.entries(); }
    int selection() { return list().List1.ListIndex(); }
    // The value behind CurSwf, unclamped.
    int storedCurSwf() { return forms.bkList.isLoaded() ? forms.bkList.loaded()->CurSwfValue : 0; }

    // The movies loaded since the last clearCalls, as the paths they were loaded from.
    QStringList loaded()
    {
        QStringList paths;
        const QString prefix = QStringLiteral("LoadMovie(0, file://");
        for (const QString& call : flash().calls()) {
            if (call.startsWith(prefix))
                paths << call.mid(prefix.size()).chopped(1);
        }
        return paths;
    }

    static void runDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};
