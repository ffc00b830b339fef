#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"
#include "swf/video/VideoPump.h"
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
// the timeline has reached. The stream decodes on a thread of its own, a few frames ahead;
// drawn by the window, the object shows the newest picture ready and never waits, while a
// stage stepped by a tool waits for the picture of the frame due. A script may attach
// another source (a NetStream) instead.
class VideoInstance final : public DisplayObject, private VideoPackets {
public:
    // Frames decoded ahead of the one shown, at most.
    static constexpr size_t kFramesAhead = 4;

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
    // The picture shown now.
    std::shared_ptr<const QImage> picture() const;
    // Packets the stream's decoder has taken so far.
    int decodedCount() const { return pump_ ? pump_->decodedCount() : 0; }

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
    int count() const override { return int(index_.packets.size()); }
    std::optional<VideoPacket> packet(int frameNumber) const override;
    // The embedded stream's picture of the frame due; starts its decoding on first use.
    std::shared_ptr<const QImage> streamPicture() const;
    void stopDecoding() const;

    VideoStreamDefinition definition_;
    bool smoothing_;
    // After clear(): the picture it cleared, shown no more.
    mutable std::optional<std::weak_ptr<const QImage>> cleared_;
    std::shared_ptr<VideoSource> source_;
    mutable Index index_;
    mutable std::unique_ptr<VideoPump> pump_; // holds one of the stage's decode threads
    mutable bool noDecoder_ = false; // libavcodec has none for the codec
};

} // namespace swf
