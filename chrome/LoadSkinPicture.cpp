#include "LoadSkinPicture.h"

#include "ImageControl.h"
#include "skin/Skin.h"

#include <QtDebug>

namespace mdlCommonFunctions {

void LoadSkinPicture(int id, chrome::ImageControl& target)
{
    const skin::SkinPicture picture = skin::picture(id);
    if (picture.isNull())
        qWarning("zorvaplay: the skin has no bitmap %d", id);
    target.setPicture(id, picture);
}

} // namespace mdlCommonFunctions
