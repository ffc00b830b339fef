#pragma once

namespace cli {

class Options;

// thumbnail FILE OUT.png --size S: a picture of what the movie shows, for file managers.
int commandThumbnail(const Options& options);

} // namespace cli
