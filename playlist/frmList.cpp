#include "frmList.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"
#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"

using mdlCommonFunctions::LoadSkinPicture;

namespace {

// A command button as designed: 465 twips square at its place, its pictures, tool tip and
// command.
struct CommandButton {
    chrome::ImageControl frmList::*control;
    int left, top;
    int normal, pressed;
    const char* toolTip;
    void (frmList::*command)();
};

const CommandButton CommandButtons[] = {
    { &frmList::ImgAdd, 4200, 480, 215, 216, "添加一项或多项", &frmList::AddItems },
    { &frmList::ImgDel, 4200, 960, 218, 219, "移除选定项目", &frmList::DelItem },
    { &frmList::ImgDelAll, 4200, 1440, 221, 222, "清空列表", &frmList::ClearList },
    { &frmList::ImgUp, 4200, 1920, 209, 210, "上移选定项目", &frmList::ItemUp },
    { &frmList::ImgDown, 4200, 2400, 212, 213, "下移选定项目", &frmList::ItemDown },
    { &frmList::ImgSort, 4200, 2880, 233, 234, "给项目排序", &frmList::SortItem },
    { &frmList::ImgCol, 240, 3600, 227, 228, "在指定目录中搜集Flash动画", &frmList::CollectItems },
    { &frmList::ImgLoad, 840, 3600, 224, 225, "加载播放列表", &frmList::LoadList },
    { &frmList::ImgSave, 1440, 3600, 200, 201, "保存播放列表", &frmList::SaveList },
    { &frmList::ImgPlay, 2040, 3600, 173, 174, "播放选定的Flash动画", &frmList::PlaySelAni },
};

} // namespace

frmList::frmList(core::Forms& forms, QWidget* owner)
    : SecondaryForm(forms, owner, { 4815, 4110, 4815, 40, 30, 4440, 80 })
{
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("Play List"));

    for (const CommandButton& row : CommandButtons) {
        chrome::ImageControl& button = this->*row.control;
        chrome::placeButton(button, row.left, row.top, 465, 465, QString::fromUtf8(row.toolTip));
        chrome::wireButton(
            button, row.normal, row.pressed, [this, command = row.command] { (this->*command)(); });
    }
    chrome::placeButton(ImgOK, 4200, 3600, 465, 465, QStringLiteral("退出"));
    chrome::wireButton(ImgOK, 194, 195, [this] { Unload(); });

    platform::twipsGeometry::setRect(List1, 120, 480, 3975, 3120);

    Line1.setEnds(5, 0, 5, 4805);
    Line2.setEnds(4805, 0, 4805, 4805);
    Line3.setEnds(5, 4320, 4805, 4320);

    Form_Load();
}

void frmList::Form_Load()
{
    followTopMostOption();

    // The frame lines follow the window's height.
    const int bottom = platform::pixelsToTwips(height()) - 10;
    Line1.setY2(bottom);
    Line2.setY2(Line1.Y2() + 5);
    Line3.setY1(Line1.Y2());
    Line3.setY2(Line1.Y2());

    LoadSkinPicture(134, ImgIco);
    LoadSkinPicture(111, ImgBar1);
    LoadSkinPicture(118, ImgEnd);
    LoadSkinPicture(194, ImgOK);
    LoadSkinPicture(227, ImgCol);
    LoadSkinPicture(215, ImgAdd);
    LoadSkinPicture(218, ImgDel);
    LoadSkinPicture(173, ImgPlay);
    LoadSkinPicture(233, ImgSort);
    LoadSkinPicture(221, ImgDelAll);
    LoadSkinPicture(209, ImgUp);
    LoadSkinPicture(212, ImgDown);
    LoadSkinPicture(224, ImgLoad);
    LoadSkinPicture(200, ImgSave);
}

void frmList::Unload()
{
    if (forms().list.loaded() == this)
        forms().list.unload();
}
