#pragma once

#include "platform/ProgressBar.h"

namespace platform {

// A progress bar for tests: it stores what the program writes, and `userPicks` stands
// for the user choosing a position with the mouse.
class FakeProgressBar final : public ProgressBar {
    Q_OBJECT
public:
    using ProgressBar::ProgressBar;

    int Position() const override { return position_; }
    void setPosition(int position) override;

    void userPicks(int position);

private:
    int position_ = 0;
};

} // namespace platform
