#pragma once

// The program's title and version (file version 1.3.0.326), as the About window and the
// update check show them: major, minor and revision; the third field of the file
// version is not shown.
namespace App {

inline constexpr char16_t Title[] = u"Zorvaplay";
inline constexpr int Major = 1;
inline constexpr int Minor = 3;
inline constexpr int Revision = 326;

} // namespace App
