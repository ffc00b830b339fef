#include "ImageButton.h"

#include "ImageControl.h"
#include "LoadSkinPicture.h"

namespace chrome {

void placeButton(ImageControl& button, int left, int top, int width, int height, const QString& toolTip)
{
    button.setStretch(true);
    button.setLeft(left);
    button.setTop(top);
    button.setSize(width, height);
    button.setToolTip(toolTip);
}

void wireButton(ImageControl& button, int normal, int pressed, std::function<void()> command)
{
    wireButton(
        button, [pressed] { return pressed; }, [normal] { return normal; }, std::move(command));
}

void wireButton(ImageControl& button, std::function<int()> pressed, std::function<int()> released,
    std::function<void()> command)
{
    QObject::connect(&button, &ImageControl::MouseDown, &button, [&button, pressed](int, int, float, float) {
        if (const int picture = pressed())
            mdlCommonFunctions::LoadSkinPicture(picture, button);
    });
    QObject::connect(
        &button, &ImageControl::MouseUp, &button, [&button, released, command](int, int, float, float) {
            if (const int picture = released())
                mdlCommonFunctions::LoadSkinPicture(picture, button);
            command();
        });
}

} // namespace chrome
