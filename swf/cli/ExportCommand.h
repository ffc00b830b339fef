#pragma once

namespace cli {

class Options;

// export FILE OUT [--width W] [--height H] [--fps F] [--frames N | --seconds S]
//        [--quality Q] [--click X,Y@SECONDS]
int commandExport(const Options& options);

} // namespace cli
