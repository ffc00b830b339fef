#include "mdlCommonFunctions.h"

#include "platform/MovieControl.h"

namespace mdlCommonFunctions {

void LoadAni(platform::MovieControl& Flash1, bool IsURL, const QString& MovieRef)
{
    QString url = MovieRef;
    if (!IsURL) {
        if (url.isEmpty())
            return;
        url.prepend(QStringLiteral("file://"));
    }
    Flash1.setQuality2(QStringLiteral("High"));
    Flash1.setWMode(QStringLiteral("Window"));
    Flash1.setBackgroundColor(-1);
    Flash1.setBGColor(QStringLiteral("-1"));
    Flash1.LoadMovie(0, url);
}

} // namespace mdlCommonFunctions
