#pragma once

#include "FakeAudioOutput.h"
#include "FakeDownloader.h"
#include "FakeFileDialog.h"
#include "FakeHotKeys.h"
#include "FakeFolderPicker.h"
#include "FakeMessageBoxes.h"
#include "FakeMovieControl.h"
#include "FakeProgressBar.h"
#include "FakeScreenGrabber.h"
#include "FakeShell.h"
#include "FakeWindowManager.h"
#include "platform/Platform.h"

#include <QPointer>

namespace platform {

// The platform of the tests: every component is a fake, and the test reaches the ones the
// windows were given through this object. A test that needs one real component derives
// from it and gives that one instead.
class FakePlatform : public Platform {
public:
    MovieControl* createMovieControl(QWidget* parent) override;
    ProgressBar* createProgressBar(QWidget* parent) override;
    std::unique_ptr<FileDialog> createFileDialog(QWidget* owner) override;
    MessageBoxes& messageBoxes() override { return messages; }
    ScreenGrabber& screenGrabber() override { return screen; }
    Downloader& downloader() override { return downloads; }
    Shell& shell() override { return desktop; }
    WindowManager& windowManager() override { return windows; }
    AudioOutput& audioOutput() override { return audio; }
    HotKeyService& hotKeys() override { return keyboard; }
    FolderPicker& folderPicker() override { return folders; }

    // The last made of each; null once its window destroyed it.
    FakeMovieControl* movieControl() const { return movieControl_; }
    FakeProgressBar* progressBar() const { return progressBar_; }

    FileDialogScript fileDialogs;
    FakeMessageBoxes messages;
    FakeScreenGrabber screen;
    FakeDownloader downloads;
    FakeShell desktop;
    FakeWindowManager windows;
    FakeAudioOutput audio;
    FakeHotKeys keyboard;
    FakeFolderPicker folders;

private:
    QPointer<FakeMovieControl> movieControl_;
    QPointer<FakeProgressBar> progressBar_;
};

} // namespace platform
