#pragma once

#include <QString>

namespace platform {
class MovieControl;
}

// The shared routines of the player's windows.
namespace mdlCommonFunctions {

// Every way of choosing a movie ends here. A local path (IsURL false) becomes a
// "file://" URL, the path itself unaltered; an empty path does nothing at all. A URL
// (IsURL true) is used as it stands. The control's display settings are made again before
// every load, then the movie replaces the one shown. Loading goes on inside the control,
// whose ready-state event reports its progress.
void LoadAni(platform::MovieControl& Flash1, bool IsURL, const QString& MovieRef);

} // namespace mdlCommonFunctions
