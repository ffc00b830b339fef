#pragma once

#include "Options.h"

namespace cli {

// `actions FILE.swf`: a listing of every action block of a movie (frame actions, init
// actions, clip events, button conditions), for whoever debugs a movie's scripts.
int commandActions(const Options& options);

} // namespace cli
