#include "FakePlatform.h"

namespace platform {

MovieControl* FakePlatform::createMovieControl(QWidget* parent)
{
    movieControl_ = new FakeMovieControl(parent);
    return movieControl_;
}

ProgressBar* FakePlatform::createProgressBar(QWidget* parent)
{
    progressBar_ = new FakeProgressBar(parent);
    return progressBar_;
}

std::unique_ptr<FileDialog> FakePlatform::createFileDialog(QWidget*)
{
    return std::make_unique<FakeFileDialog>(fileDialogs);
}

} // namespace platform
