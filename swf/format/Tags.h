#pragma once

#include <cstdint>
#include <string_view>

namespace swf {

// Every tag code this engine knows, listed once. Each line is
//   X(code, Name, role)
// where the role is Define (puts a character into the dictionary), Extend (adds to a
// character defined earlier, named by the id it starts with) or Control (a tag of the
// frame). The enum, the name lookup and the role lookup below all come from it, so that a
// new tag is one new line. Codes not in the list are skipped by the parser.
// clang-format off
#define ZORVA_SWF_TAGS(X)                       \
    X(0, End, Control)                            \
    X(1, ShowFrame, Control)                      \
    X(2, DefineShape, Define)                     \
    X(4, PlaceObject, Control)                    \
    X(5, RemoveObject, Control)                   \
    X(6, DefineBits, Define)                      \
    X(7, DefineButton, Define)                    \
    X(8, JPEGTables, Control)                     \
    X(9, SetBackgroundColor, Control)             \
    X(10, DefineFont, Define)                     \
    X(11, DefineText, Define)                     \
    X(12, DoAction, Control)                      \
    X(13, DefineFontInfo, Extend)                \
    X(14, DefineSound, Define)                    \
    X(15, StartSound, Control)                    \
    X(17, DefineButtonSound, Extend)             \
    X(18, SoundStreamHead, Control)               \
    X(19, SoundStreamBlock, Control)              \
    X(20, DefineBitsLossless, Define)             \
    X(21, DefineBitsJPEG2, Define)                \
    X(22, DefineShape2, Define)                   \
    X(23, DefineButtonCxform, Extend)            \
    X(24, Protect, Control)                       \
    X(26, PlaceObject2, Control)                  \
    X(28, RemoveObject2, Control)                 \
    X(32, DefineShape3, Define)                   \
    X(33, DefineText2, Define)                    \
    X(34, DefineButton2, Define)                  \
    X(35, DefineBitsJPEG3, Define)                \
    X(36, DefineBitsLossless2, Define)            \
    X(37, DefineEditText, Define)                 \
    X(39, DefineSprite, Define)                   \
    X(41, ProductInfo, Control)                   \
    X(43, FrameLabel, Control)                    \
    X(45, SoundStreamHead2, Control)              \
    X(46, DefineMorphShape, Define)               \
    X(48, DefineFont2, Define)                    \
    X(56, ExportAssets, Control)                  \
    X(57, ImportAssets, Control)                  \
    X(58, EnableDebugger, Control)                \
    X(59, DoInitAction, Control)                  \
    X(60, DefineVideoStream, Define)              \
    X(61, VideoFrame, Control)                    \
    X(62, DefineFontInfo2, Extend)               \
    X(63, DebugID, Control)                       \
    X(64, EnableDebugger2, Control)               \
    X(65, ScriptLimits, Control)                  \
    X(66, SetTabIndex, Control)                   \
    X(69, FileAttributes, Control)                \
    X(70, PlaceObject3, Control)                  \
    X(71, ImportAssets2, Control)                 \
    X(73, DefineFontAlignZones, Extend)          \
    X(74, CSMTextSettings, Extend)               \
    X(75, DefineFont3, Define)                    \
    X(76, SymbolClass, Control)                   \
    X(77, Metadata, Control)                      \
    X(78, DefineScalingGrid, Extend)             \
    X(82, DoABC, Control)                         \
    X(83, DefineShape4, Define)                   \
    X(84, DefineMorphShape2, Define)              \
    X(86, DefineSceneAndFrameLabelData, Control)  \
    X(87, DefineBinaryData, Define)               \
    X(88, DefineFontName, Extend)                \
    X(89, StartSound2, Control)                   \
    X(90, DefineBitsJPEG4, Define)                \
    X(91, DefineFont4, Define)
// clang-format on

enum class TagRole : uint8_t { Define, Extend, Control };

enum class TagCode : uint16_t {
#define ZORVA_SWF_TAG_ENUM(code, name, role) name = code,
    ZORVA_SWF_TAGS(ZORVA_SWF_TAG_ENUM)
#undef ZORVA_SWF_TAG_ENUM
};

// The tag's name as the file format calls it, or an empty view for a code not listed.
constexpr std::string_view tagName(uint16_t code)
{
    switch (code) {
#define ZORVA_SWF_TAG_NAME(code, name, role)                                                                 \
    case code:                                                                                               \
        return #name;
        ZORVA_SWF_TAGS(ZORVA_SWF_TAG_NAME)
#undef ZORVA_SWF_TAG_NAME
    }
    return {};
}

// What a tag does; an unknown code is a control tag nobody reads.
constexpr TagRole tagRole(uint16_t code)
{
    switch (code) {
#define ZORVA_SWF_TAG_ROLE(code, name, role)                                                                 \
    case code:                                                                                               \
        return TagRole::role;
        ZORVA_SWF_TAGS(ZORVA_SWF_TAG_ROLE)
#undef ZORVA_SWF_TAG_ROLE
    }
    return TagRole::Control;
}

// Whether the tag puts a character into the dictionary. Every such tag starts with the
// character id as a u16.
constexpr bool definesCharacter(uint16_t code)
{
    return tagRole(code) == TagRole::Define;
}

// Whether the code is one this engine knows.
constexpr bool knownTag(uint16_t code)
{
    return !tagName(code).empty();
}

constexpr uint16_t toCode(TagCode tag)
{
    return static_cast<uint16_t>(tag);
}

} // namespace swf
