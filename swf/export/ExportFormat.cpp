#include "ExportFormat.h"

#include <QFileInfo>

namespace swf::exporting {

std::optional<Container> containerFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp4") || suffix == QLatin1String("m4v"))
        return Container::Mp4;
    if (suffix == QLatin1String("webm"))
        return Container::WebM;
    if (suffix == QLatin1String("gif"))
        return Container::Gif;
    if (suffix == QLatin1String("png"))
        return Container::PngSequence;
    return std::nullopt;
}

QString containerName(Container container)
{
    switch (container) {
    case Container::Mp4:
        return QStringLiteral("MP4");
    case Container::WebM:
        return QStringLiteral("WebM");
    case Container::Gif:
        return QStringLiteral("GIF");
    case Container::PngSequence:
        break;
    }
    return QStringLiteral("PNG 序列");
}

bool carriesSound(Container container)
{
    return container == Container::Mp4 || container == Container::WebM;
}

} // namespace swf::exporting
