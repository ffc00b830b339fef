#include "VideoInstance.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/render/DrawContext.h"
#include "swf/video/VideoSource.h"

namespace swf {
namespace {

constexpr double kTwipsPerPixel = 20;

VideoDecoder::Options decoderOptions(const VideoStreamDefinition& d)
{
    VideoDecoder::Options o;
    o.codec = VideoCodec(d.codec);
    o.deblocking = d.deblocking;
    return o;
}

} // namespace

std::unique_ptr<DisplayObject> VideoInstance::make(const InstanceContext& c)
{
    const auto definition = readVideoStream(c.character.body);
    return std::make_unique<VideoInstance>(
        c.stage, c.character, definition.value_or(VideoStreamDefinition {}), c.depth);
}

VideoInstance::VideoInstance(
    Stage& stage, const Character& character, const VideoStreamDefinition& definition, int depth)
    : DisplayObject(stage, &character, depth)
    , definition_(definition)
    , smoothing_(definition.smoothing)
{
}

VideoInstance::~VideoInstance()
{
    stopDecoding();
}

void VideoInstance::updateIndex() const
{
    const MovieClip* clip = parent();
    if (!clip)
        return;
    const Timeline& timeline = clip->timeline();
    if (index_.timeline != &timeline) {
        stopDecoding(); // its frame numbers were those of another timeline
        index_ = Index {};
        index_.timeline = &timeline;
    }
    const size_t loaded = size_t(clip->framesLoaded());
    for (size_t f = index_.scanned; f < loaded && f < timeline.frames.size(); ++f) {
        int reached = index_.reached.empty() ? -1 : index_.reached.back();
        const auto& tags = timeline.frames[f].tags;
        for (size_t t = 0; t < tags.size(); ++t) {
            if (const auto* place = std::get_if<PlaceObject>(&tags[t])) {
                if (place->depth == depth() && place->ratio)
                    index_.ratioDriven = true;
                continue;
            }
            const auto* record = std::get_if<TagRecord>(&tags[t]);
            if (!record || record->code != toCode(TagCode::VideoFrame))
                continue;
            const auto frame = readVideoFrame(record->body);
            if (!frame || frame->streamId != characterId())
                continue;
            const size_t n = frame->frameNumber;
            if (index_.packets.size() <= n)
                index_.packets.resize(n + 1, { -1, -1 });
            if (index_.packets[n].first < 0)
                index_.packets[n] = { int(f), int(t) };
            reached = int(n);
        }
        index_.reached.push_back(reached);
    }
    index_.scanned = std::max(index_.scanned, std::min(loaded, timeline.frames.size()));
}

std::optional<VideoPacket> VideoInstance::packet(int frameNumber) const
{
    if (frameNumber < 0 || size_t(frameNumber) >= index_.packets.size())
        return std::nullopt;
    const auto [f, t] = index_.packets[size_t(frameNumber)];
    if (f < 0)
        return std::nullopt;
    const auto& record = std::get<TagRecord>(index_.timeline->frames[size_t(f)].tags[size_t(t)]);
    const auto frame = readVideoFrame(record.body);
    if (!frame)
        return std::nullopt;
    return VideoPacket { frame->packet, isKeyFrame(VideoCodec(definition_.codec), frame->packet) };
}

int VideoInstance::streamFrame() const
{
    updateIndex();
    const MovieClip* clip = parent();
    if (!clip || !index_.timeline)
        return -1;
    if (index_.ratioDriven)
        return ratio();
    const int current = clip->currentFrame();
    if (current < 0 || size_t(current) >= index_.reached.size())
        return index_.reached.empty() || current < 0 ? -1 : index_.reached.back();
    return index_.reached[size_t(current)];
}

std::shared_ptr<const QImage> VideoInstance::streamPicture() const
{
    const int due = streamFrame();
    if (!pump_) {
        if (due < 0 || index_.packets.empty() || noDecoder_ || !isKnownVideoCodec(definition_.codec)
            || !stage_.takeDecodeThread())
            return nullptr;
        auto decoder = VideoDecoder::open(decoderOptions(definition_));
        noDecoder_ = !decoder;
        if (decoder)
            pump_ = VideoPump::start(std::move(decoder), kFramesAhead);
        if (!pump_) {
            stage_.giveBackDecodeThread();
            return nullptr;
        }
    }
    return pump_->picture(due, *this, stage_.stepped());
}

void VideoInstance::stopDecoding() const
{
    if (!pump_)
        return;
    pump_.reset();
    stage_.giveBackDecodeThread();
}

std::shared_ptr<const QImage> VideoInstance::picture() const
{
    std::shared_ptr<const QImage> shown;
    if (source_)
        shown = source_->picture();
    else
        shown = streamPicture();
    // Cleared: blank until another picture comes.
    if (cleared_) {
        if (shown == cleared_->lock() || !shown)
            return nullptr;
        cleared_.reset();
    }
    return shown;
}

void VideoInstance::attach(std::shared_ptr<VideoSource> source)
{
    if (source)
        stopDecoding();
    source_ = std::move(source);
    cleared_.reset();
}

void VideoInstance::clear()
{
    cleared_.reset();
    cleared_ = std::weak_ptr<const QImage>(picture());
}

void VideoInstance::draw(DrawContext& context) const
{
    const std::shared_ptr<const QImage> image = picture();
    const QRectF box = ownBounds();
    if (!image || image->isNull() || box.isEmpty())
        return;
    // The picture fills the declared box, whatever size it decoded to.
    const QTransform toDevice
        = QTransform::fromScale(box.width() / image->width(), box.height() / image->height())
        * context.transform();
    const BitmapPaint paint(image, toDevice, BitmapPaint::Wrap::Clamp, smoothing_, context.colorTransform());
    QPainterPath area;
    area.addRect(box);
    context.fill(area, paint);
}

QRectF VideoInstance::ownBounds() const
{
    return QRectF(0, 0, definition_.width * kTwipsPerPixel, definition_.height * kTwipsPerPixel);
}

bool VideoInstance::hitsOwn(QPointF local) const
{
    return ownBounds().contains(local);
}

QPainterPath VideoInstance::ownOutline(double& work) const
{
    work = 0;
    QPainterPath area;
    area.addRect(ownBounds());
    return area;
}

} // namespace swf
