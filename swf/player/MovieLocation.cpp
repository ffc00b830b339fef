#include "MovieLocation.h"

namespace swf {

MovieLocation MovieLocation::resolve(const QString& reference)
{
    static const QString kFilePrefix = QStringLiteral("file://");
    MovieLocation location;
    if (reference.startsWith(kFilePrefix, Qt::CaseInsensitive)) {
        location.path = reference.mid(kFilePrefix.size());
        return location;
    }
    if (reference.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive)
        || reference.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)) {
        location.kind = Kind::Web;
        location.url = QUrl(reference, QUrl::TolerantMode);
        return location;
    }
    location.path = reference;
    return location;
}

} // namespace swf
