#pragma once

namespace chrome {
class ImageControl;
}

namespace mdlCommonFunctions {

// Puts skin bitmap `id` into the image control `target`. Every skin picture that the
// program shows is assigned here. The skin is part of the program: an id it lacks is a
// fault of the build, reported as a warning, and leaves the control empty.
void LoadSkinPicture(int id, chrome::ImageControl& target);

} // namespace mdlCommonFunctions
