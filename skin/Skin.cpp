#include "Skin.h"

#include <QString>

// The skin's resources live in a static library: they are registered on first use, as
// nothing else would pull them into the program.
static void registerSkinResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    (void)registered;
}

namespace skin {

SkinPicture picture(int id)
{
    registerSkinResources();
    return { QImage(QStringLiteral(":/skin/%1.bmp").arg(id)),
        QImage(QStringLiteral(":/skin/%1@2x.bmp").arg(id)) };
}

} // namespace skin
