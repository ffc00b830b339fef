#pragma once

#include "Platform.h"
#include "QtMessageBoxes.h"
#include "QtWindowManager.h"

namespace platform {

// The services of the running player: our engine, our widgets, Qt's dialogs.
class RealPlatform final : public Platform {
public:
    MovieControl* createMovieControl(QWidget* parent) override;
    ProgressBar* createProgressBar(QWidget* parent) override;
    std::unique_ptr<FileDialog> createFileDialog(QWidget* owner) override;
    MessageBoxes& messageBoxes() override { return messageBoxes_; }
    WindowManager& windowManager() override { return windowManager_; }

private:
    QtMessageBoxes messageBoxes_;
    QtWindowManager windowManager_;
};

} // namespace platform
