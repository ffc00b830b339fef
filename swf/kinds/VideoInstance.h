#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"
#include "swf/video/VideoPlayback.h"
#include "swf/video/VideoRecords.h"

#include <QImage>

#include <memory>
#include <optional>
#include <vector>

namespace swf {

class VideoSource;
struct Timeline;

// A video character (DefineVideoStream) on a display list: a box of the stream's declared
// size showing one frame of it, scaled, masked and colour-transformed like any other
// object. Which frame: the placement's ratio when its timeline gives one (as movies made
// by the authoring tool do on every frame), else the last VideoFrame of the stream that
// the timeline has reached. A script may attach another source (a NetStream) instead.
class VideoInstance final : public DisplayObject {
public:
    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    VideoInstance(
        Stage& stage, const Character& character, const VideoStreamDefinition& definition, int depth);
    ~VideoInstance() override;

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

    const VideoStreamDefinition& definition() const { return definition_; }
    // The embedded stream's frame this object shows now, -1 for none.
    int streamFrame() const;
    // The picture shown now, decoding what it needs.
    std::shared_ptr<const QImage> picture() const;
    // Packets the stream's decoder has taken so far.
    int decodedCount() const { return playback_.decodedCount(); }

    // What scripts do to a video (Video.attachVideo, clear, smoothing).
    void attach(std::shared_ptr<VideoSource> source);
    void clear();
    bool smoothing() const { return smoothing_; }
    void setSmoothing(bool on) { smoothing_ = on; }

private:
    // Where the stream's VideoFrame tags sit in the parent's timeline, found as frames
    // arrive.
    struct Index {
        const Timeline* timeline = nullptr;
        size_t scanned = 0;
        std::vector<std::pair<int, int>> packets; // by frame number: timeline frame, tag; -1 none
        std::vector<int> reached; // by timeline frame: the last frame number it carries, or -1
        bool ratioDriven = false;
    };
    void updateIndex() const;
    std::optional<VideoPacket> packet(int frameNumber) const;

    VideoStreamDefinition definition_;
    bool smoothing_;
    // After clear(): the picture it cleared, shown no more.
    mutable std::optional<std::weak_ptr<const QImage>> cleared_;
    std::shared_ptr<VideoSource> source_;
    mutable Index index_;
    mutable VideoPlayback playback_;
};

} // namespace swf
