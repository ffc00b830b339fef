#pragma once

#include <QImage>

namespace skin {

// One skin bitmap as the program carries it: at its normal size and at twice that size,
// for screens that scale their windows.
struct SkinPicture {
    QImage normal;
    QImage doubled;

    bool isNull() const { return normal.isNull(); }
};

// Skin bitmap `id` from the program's own resources; a null picture for an id that the
// skin does not have.
SkinPicture picture(int id);

} // namespace skin
