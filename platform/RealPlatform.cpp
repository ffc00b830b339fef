#include "RealPlatform.h"

#include "EngineMovieControl.h"
#include "Ferrule.h"
#include "QtFileDialog.h"

namespace platform {

MovieControl* RealPlatform::createMovieControl(QWidget* parent)
{
    return new EngineMovieControl(parent, &audio_);
}
ProgressBar* RealPlatform::createProgressBar(QWidget* parent)
{
    return new Ferrule(parent);
}

std::unique_ptr<FileDialog> RealPlatform::createFileDialog(QWidget* owner)
{
    return std::make_unique<QtFileDialog>(owner);
}

} // namespace platform
