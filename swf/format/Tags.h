#pragma once

#include <cstdint>
#include <string_view>

namespace swf {

// Every tag code this engine knows, listed once. Each line is
//   X(code, Name, defines a character)
// and the enum, the name lookup and the "defines a character" test below all come from
// it, so that a new tag is one new line. Codes not in the list are skipped by the parser.
// clang-format off
#define ZORVA_SWF_TAGS(X)                       \
    X(0, End, false)                            \
    X(1, ShowFrame, false)                      \
    X(2, DefineShape, true)                     \
    X(4, PlaceObject, false)                    \
    X(5, RemoveObject, false)                   \
    X(6, DefineBits, true)                      \
    X(7, DefineButton, true)                    \
    X(8, JPEGTables, false)                     \
    X(9, SetBackgroundColor, false)             \
    X(10, DefineFont, true)                     \
    X(11, DefineText, true)                     \
    X(12, DoAction, false)                      \
    X(13, DefineFontInfo, false)                \
    X(14, DefineSound, true)                    \
    X(15, StartSound, false)                    \
    X(17, DefineButtonSound, false)             \
    X(18, SoundStreamHead, false)               \
    X(19, SoundStreamBlock, false)              \
    X(20, DefineBitsLossless, true)             \
    X(21, DefineBitsJPEG2, true)                \
    X(22, DefineShape2, true)                   \
    X(23, DefineButtonCxform, false)            \
    X(24, Protect, false)                       \
    X(26, PlaceObject2, false)                  \
    X(28, RemoveObject2, false)                 \
    X(32, DefineShape3, true)                   \
    X(33, DefineText2, true)                    \
    X(34, DefineButton2, true)                  \
    X(35, DefineBitsJPEG3, true)                \
    X(36, DefineBitsLossless2, true)            \
    X(37, DefineEditText, true)                 \
    X(39, DefineSprite, true)                   \
    X(41, ProductInfo, false)                   \
    X(43, FrameLabel, false)                    \
    X(45, SoundStreamHead2, false)              \
    X(46, DefineMorphShape, true)               \
    X(48, DefineFont2, true)                    \
    X(56, ExportAssets, false)                  \
    X(57, ImportAssets, false)                  \
    X(58, EnableDebugger, false)                \
    X(59, DoInitAction, false)                  \
    X(60, DefineVideoStream, true)              \
    X(61, VideoFrame, false)                    \
    X(62, DefineFontInfo2, false)               \
    X(63, DebugID, false)                       \
    X(64, EnableDebugger2, false)               \
    X(65, ScriptLimits, false)                  \
    X(66, SetTabIndex, false)                   \
    X(69, FileAttributes, false)                \
    X(70, PlaceObject3, false)                  \
    X(71, ImportAssets2, false)                 \
    X(73, DefineFontAlignZones, false)          \
    X(74, CSMTextSettings, false)               \
    X(75, DefineFont3, true)                    \
    X(76, SymbolClass, false)                   \
    X(77, Metadata, false)                      \
    X(78, DefineScalingGrid, false)             \
    X(82, DoABC, false)                         \
    X(83, DefineShape4, true)                   \
    X(84, DefineMorphShape2, true)              \
    X(86, DefineSceneAndFrameLabelData, false)  \
    X(87, DefineBinaryData, true)               \
    X(88, DefineFontName, false)                \
    X(89, StartSound2, false)                   \
    X(90, DefineBitsJPEG4, true)                \
    X(91, DefineFont4, true)
// clang-format on

enum class TagCode : uint16_t {
#define ZORVA_SWF_TAG_ENUM(code, name, defines) name = code,
    ZORVA_SWF_TAGS(ZORVA_SWF_TAG_ENUM)
#undef ZORVA_SWF_TAG_ENUM
};

// The tag's name as the file format calls it, or an empty view for a code not listed.
constexpr std::string_view tagName(uint16_t code)
{
    switch (code) {
#define ZORVA_SWF_TAG_NAME(code, name, defines)                                                              \
    case code:                                                                                               \
        return #name;
        ZORVA_SWF_TAGS(ZORVA_SWF_TAG_NAME)
#undef ZORVA_SWF_TAG_NAME
    }
    return {};
}

// Whether the tag puts a character into the dictionary. Every such tag starts with
// the character id as a u16, which is how the parser records the ids it cannot decode.
constexpr bool definesCharacter(uint16_t code)
{
    switch (code) {
#define ZORVA_SWF_TAG_DEFINES(code, name, defines)                                                           \
    case code:                                                                                               \
        return defines;
        ZORVA_SWF_TAGS(ZORVA_SWF_TAG_DEFINES)
#undef ZORVA_SWF_TAG_DEFINES
    }
    return false;
}

constexpr uint16_t toCode(TagCode tag)
{
    return static_cast<uint16_t>(tag);
}

} // namespace swf
