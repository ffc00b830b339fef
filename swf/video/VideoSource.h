#pragma once

#include <QImage>

#include <memory>

namespace swf {

// Pictures a video object shows in place of its own stream: a stream a script plays
// into it (NetStream, attached with Video.attachVideo).
class VideoSource {
public:
    virtual ~VideoSource() = default;
    // The picture to show now; null while there is none.
    virtual std::shared_ptr<const QImage> picture() = 0;
};

} // namespace swf
