#pragma once

#include <array>
#include <cstddef>

namespace skin {

// One bitmap of the skin: its resource number and its size in pixels at the normal scale.
struct SkinBitmap {
    int id;
    int width;
    int height;
};

namespace detail {

inline constexpr int FirstGlyph = 173;
inline constexpr int LastGlyph = 235;
inline constexpr std::size_t BitmapCount = 1 + 8 + 1 + 1 + (LastGlyph - FirstGlyph + 1);

constexpr std::array<SkinBitmap, BitmapCount> makeInventory()
{
    std::array<SkinBitmap, BitmapCount> bitmaps {};
    std::size_t n = 0;
    bitmaps[n++] = { 111, 49, 29 }; // title bar
    for (int id = 112; id <= 119; ++id)
        bitmaps[n++] = { id, 17, 16 }; // frame buttons, normal and pressed
    bitmaps[n++] = { 134, 122, 20 }; // title icon
    bitmaps[n++] = { 141, 24, 25 }; // corner grip
    for (int id = FirstGlyph; id <= LastGlyph; ++id)
        bitmaps[n++] = { id, 39, 39 }; // command glyphs: normal, pressed, highlighted
    return bitmaps;
}

} // namespace detail

// Every bitmap of the skin. Each is also drawn at twice its size for screens that scale
// their windows.
inline constexpr std::array<SkinBitmap, detail::BitmapCount> Inventory = detail::makeInventory();

// The bitmap with resource number `id`, or nullptr when the skin has none.
constexpr const SkinBitmap* findBitmap(int id)
{
    for (const SkinBitmap& bitmap : Inventory)
        if (bitmap.id == id)
            return &bitmap;
    return nullptr;
}

} // namespace skin
