#include "MovieEnd.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"

namespace swf::exporting {

MovieEnd::MovieEnd(double movieRate)
    : rate_(movieRate > 0 ? movieRate : 12.0)
{
}

const MovieClip* MovieEnd::lead(const Stage& stage) const
{
    const MovieClip& root = stage.root();
    if (root.isPlaying() && root.frameCount() > 1)
        return &root;
    const MovieClip* longest = nullptr;
    for (const auto& [depth, child] : root.displayList()) {
        const MovieClip* clip = child->asMovieClip();
        if (clip && clip->isPlaying() && clip->framesLoaded() > 1
            && (!longest || clip->framesLoaded() > longest->framesLoaded()))
            longest = clip;
    }
    return longest;
}

MovieEnd::Verdict MovieEnd::end(Verdict verdict, Reason reason)
{
    reason_ = reason;
    return verdict;
}

MovieEnd::Verdict MovieEnd::frameRun(const Stage& stage, bool waiting)
{
    ++framesRun_;
    if (framesRun_ >= static_cast<long long>(kMaxSeconds * rate_))
        return end(Verdict::EndWith, Reason::TooLong);

    const MovieClip& root = stage.root();
    const bool rootMoved = root.currentFrame() != rootFrame_;
    rootFrame_ = root.currentFrame();
    // The main timeline stopped on its last frame: the movie is over. A timeline stops
    // there when it tries to go past it, one frame after it got there: that frame is a
    // repeat.
    // A damaged movie's timeline waits at the last frame read for frames that never come.
    const bool cutShort = root.framesLoaded() < root.frameCount() || root.cutShort();
    if (!waiting && (!root.isPlaying() || cutShort) && root.currentFrame() == root.framesLoaded() - 1
        && root.framesLoaded() > 1)
        return end(rootMoved ? Verdict::EndWith : Verdict::EndBefore, Reason::LastFrame);

    const MovieClip* clip = lead(stage);
    const ObjectId id = clip ? clip->id() : 0;
    const int frame = clip ? clip->currentFrame() : -1;
    const bool sameLead = id == leadId_;
    const int previous = leadFrame_;
    leadId_ = id;
    leadFrame_ = frame;
    if (waiting) {
        stillFrames_ = 0;
        return Verdict::Go;
    }
    if (clip && sameLead && frame < previous)
        return end(Verdict::EndBefore, Reason::Loop);
    if (clip && (!sameLead || frame != previous)) {
        stillFrames_ = 0;
        return Verdict::Go;
    }
    if (++stillFrames_ >= static_cast<long long>(kStillSeconds * rate_))
        return end(Verdict::EndWith, Reason::StandsStill);
    return Verdict::Go;
}

} // namespace swf::exporting
