#pragma once

// The program's title and version, as the About window shows them and the update check
// compares them: major, minor and revision of the file version (1.3.0.326 gives 1, 3 and
// 326; its third field, the build, is not part of it). The numbers come from the
// project's version in the top CMakeLists.txt.
namespace App {

inline constexpr char16_t Title[] = u"Zorvaplay";
inline constexpr unsigned Major = ZORVA_VERSION_MAJOR;
inline constexpr unsigned Minor = ZORVA_VERSION_MINOR;
inline constexpr unsigned Revision = ZORVA_VERSION_REVISION;

} // namespace App
