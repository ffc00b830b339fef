#include "frmOpen.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"

using mdlCommonFunctions::LoadSkinPicture;

frmOpen::frmOpen(core::Forms& forms, QWidget* owner)
    : SecondaryForm(forms, owner, { 5670, 1425, 5670, 40, 30, 5280, 80 })
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QStringLiteral("Open An Animation"));

    chrome::placeButton(ImgOpen, 3840, 930, 465, 465, QStringLiteral("打开一个或者多个动画"));
    chrome::wireButton(ImgOpen, 203, 204, [this] { BrowseFiles(); });
    chrome::placeButton(ImgOK, 4440, 930, 465, 465, QStringLiteral("确定"));
    chrome::wireButton(ImgOK, 194, 195, [this] { OpenURL(); });
    chrome::placeButton(ImgExit, 5040, 930, 465, 465, QStringLiteral("取消"));
    chrome::wireButton(ImgExit, 197, 198, [this] { CloseDialog(); });

    Line1.setEnds(5, 0, 5, 1440);
    Line2.setEnds(0, 1415, 5670, 1415);
    Line3.setEnds(5660, 0, 5660, 1425);

    Form_Load();
}

void frmOpen::Form_Load()
{
    followTopMostOption();
    LoadSkinPicture(134, ImgIco);
    LoadSkinPicture(203, ImgOpen);
    LoadSkinPicture(197, ImgExit);
    LoadSkinPicture(194, ImgOK);
    LoadSkinPicture(111, ImgBar1);
    LoadSkinPicture(118, ImgEnd);
}

void frmOpen::CloseDialog()
{
    Unload();
}

void frmOpen::Unload()
{
    if (forms().open.loaded() == this)
        forms().open.unload();
}
