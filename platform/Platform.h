#pragma once

#include <memory>

class QWidget;

namespace platform {

class AudioOutput;
class Downloader;
class FileDialog;
class HotKeyService;
class FolderPicker;
class MessageBoxes;
class MovieControl;
class ProgressBar;
class ScreenGrabber;
class Shell;
class WindowManager;

// Everything the windows need from outside the program, made once at start-up: the real
// services in the player, scripted fakes in the tests. Windows take their outside
// components from here and never create them themselves.
class Platform {
public:
    virtual ~Platform() = default;

    // The movie control and the progress bar are child widgets: `parent` must not be null
    // and owns what is returned.
    virtual MovieControl* createMovieControl(QWidget* parent) = 0;
    virtual ProgressBar* createProgressBar(QWidget* parent) = 0;
    // A file dialog that shows itself modally over `owner`.
    virtual std::unique_ptr<FileDialog> createFileDialog(QWidget* owner) = 0;
    virtual MessageBoxes& messageBoxes() = 0;
    virtual ScreenGrabber& screenGrabber() = 0;
    virtual Downloader& downloader() = 0;
    virtual Shell& shell() = 0;
    virtual WindowManager& windowManager() = 0;
    // The sound device the movies play through; the sound-level control sets its volume.
    virtual AudioOutput& audioOutput() = 0;
    // The system-wide hot keys.
    virtual HotKeyService& hotKeys() = 0;
    virtual FolderPicker& folderPicker() = 0;
};

} // namespace platform
