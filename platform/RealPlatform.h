#pragma once

#include "HotKeyService.h"
#include "Platform.h"
#include "QtDownloader.h"
#include "QtFolderPicker.h"
#include "QtMessageBoxes.h"
#include "QtScreenGrabber.h"
#include "QtShell.h"
#include "QtSoundOutput.h"
#include "QtWindowManager.h"

namespace platform {

// The services of the running player: our engine, our widgets, Qt's dialogs.
class RealPlatform final : public Platform {
public:
    MovieControl* createMovieControl(QWidget* parent) override;
    ProgressBar* createProgressBar(QWidget* parent) override;
    std::unique_ptr<FileDialog> createFileDialog(QWidget* owner) override;
    MessageBoxes& messageBoxes() override { return messageBoxes_; }
    ScreenGrabber& screenGrabber() override { return screenGrabber_; }
    Downloader& downloader() override { return downloader_; }
    Shell& shell() override { return shell_; }
    WindowManager& windowManager() override { return windowManager_; }
    AudioOutput& audioOutput() override { return audio_; }
    // Made on first use, once the application's connection to the window system is up.
    HotKeyService& hotKeys() override;
    FolderPicker& folderPicker() override { return folderPicker_; }

private:
    QtSoundOutput audio_; // first made, last gone: the windows' movies play through it
    QtMessageBoxes messageBoxes_;
    QtScreenGrabber screenGrabber_;
    QtDownloader downloader_;
    QtShell shell_;
    QtWindowManager windowManager_;
    std::unique_ptr<HotKeyService> hotKeys_;
    QtFolderPicker folderPicker_;
};

} // namespace platform
