// The main window's skin: its image and line controls as designed, their pictures, and
// the press/release wiring of its buttons.

#include "core/frmMain.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "platform/MovieControl.h"
#include "platform/ProgressBar.h"
#include "platform/Tonwell.h"

using mdlCommonFunctions::LoadSkinPicture;

namespace {

// A command button of the bottom row as designed: place and size in twips, pictures, tool
// tip and command. The layout moves the tops, and ImgExit's left.
struct CommandButton {
    chrome::ImageControl frmMain::*control;
    int left, top, size;
    int normal, pressed;
    const char* toolTip;
    void (frmMain::*command)();
};

constexpr int RowTop = 6480;
const CommandButton CommandButtons[] = {
    { &frmMain::ImgRewind, 600, RowTop, 470, 182, 183, "重放", &frmMain::RewindAni },
    { &frmMain::ImgBack, 1080, RowTop, 470, 206, 207, "上一个  Ctrl+B", &frmMain::BackAni },
    { &frmMain::ImgNext, 1560, RowTop, 470, 185, 186, "下一个  Ctrl+N", &frmMain::NextAni },
    { &frmMain::ImgOpen, 3000, RowTop, 465, 203, 204, "打开一个Flash动画...  Ctrl+O", &frmMain::OpenAni },
    { &frmMain::ImgCatch, 3960, RowTop, 465, 230, 231, "截取一帧，保存为BMP图象  Ctrl+T",
        &frmMain::CatchFrame },
    { &frmMain::ImgExit, 7200, RowTop, 465, 197, 198, "退出", &frmMain::ExitAni },
};

// A frame button or image that takes its picture's size: placed before its picture comes.
void placeImage(chrome::ImageControl& image, int left, int top, int width, int height)
{
    image.setLeft(left);
    image.setTop(top);
    image.setSize(width, height);
}

} // namespace

void frmMain::buildSkin()
{
    for (const CommandButton& row : CommandButtons) {
        chrome::ImageControl& button = this->*row.control;
        chrome::placeButton(button, row.left, row.top, row.size, row.size, QString::fromUtf8(row.toolTip));
        chrome::wireButton(
            button, row.normal, row.pressed, [this, command = row.command] { (this->*command)(); });
    }

    chrome::placeButton(ImgPlay, 120, RowTop, 470, 470, QStringLiteral("播放|暂停  Ctrl+P"));
    chrome::wireButton(
        ImgPlay, [this] { return Flash1.IsPlaying() ? 180 : 174; }, [] { return 0; }, [this] { PlayAni(); });
    chrome::placeButton(ImgMenu, 3480, RowTop, 465, 465, QStringLiteral("弹出播放器菜单  Ctrl+L"));
    chrome::wireButton(ImgMenu, 191, 192, [this] { PopupCommandMenu(); });

    placeImage(ImgMin, 6740, 80, 255, 240);
    ImgMin.setToolTip(QStringLiteral("上卷|还原窗口"));
    chrome::wireButton(ImgMin, 112, 113, [this] { RollUpOrRestore(); });
    placeImage(ImgMax, 7100, 80, 255, 240);
    ImgMax.setToolTip(QStringLiteral("最大化|还原"));
    chrome::wireButton(
        ImgMax, [this] { return WindowState() == 2 ? 117 : 115; }, [] { return 0; },
        [this] { MaximiseOrRestore(); });
    placeImage(ImgEnd, 7470, 80, 255, 240);
    ImgEnd.setToolTip(QStringLiteral("退出"));
    chrome::wireButton(ImgEnd, 118, 119, [this] { ExitAni(); });

    ImgBar1.setStretch(true);
    placeImage(ImgBar1, 0, 0, 7815, 375);
    connect(&ImgBar1, &chrome::ImageControl::MouseMove, this, &frmMain::ImgBar1_MouseMove);
    connect(&ImgBar1, &chrome::ImageControl::MouseUp, this, &frmMain::ImgBar1_MouseUp);
    connect(&ImgBar1, &chrome::ImageControl::DblClick, this, &frmMain::MaximiseOrRestore);
    placeImage(ImgIco, 40, 30, 1830, 300);
    connect(&ImgIco, &chrome::ImageControl::MouseMove, this, &frmMain::ImgIco_MouseMove);
    connect(&ImgIco, &chrome::ImageControl::MouseUp, this, [this] { chrome::endDrag(IcoGrab); });
    connect(&ImgIco, &chrome::ImageControl::DblClick, this, &frmMain::MaximiseOrRestore);
    placeImage(Image1, 7320, 6480, 360, 375);
    Image1.setCursor(Qt::SizeFDiagCursor);
    connect(&Image1, &chrome::ImageControl::MouseMove, this, &frmMain::Image1_MouseMove);
    connect(&Image1, &chrome::ImageControl::MouseUp, this, [this] { gripHandedOver_ = false; });

    LineL.setEnds(5, 0, 5, 6945);
    LineD.setEnds(5, 6935, 7805, 6935);
    LineR.setEnds(7805, 0, 7805, 6945);
    Line3.setEnds(120, 480, 7680, 480);
    Line2.setEnds(7680, 480, 7680, 6120);
    Line1.setEnds(120, 480, 120, 6120);

    stackInFormOrder();
}

// The images and lines lie in the form's own order, the earlier above the later; the
// movie, the progress bar and the sound level are windows of their own, above them all.
void frmMain::stackInFormOrder()
{
    QWidget* const order[]
        = { &ImgMenu, &ImgIco, &ImgMax, &ImgEnd, &ImgMin, &ImgBar1, &ImgExit, &Image1, &LineL, &LineD, &LineR,
              &Line3, &Line2, &Line1, &ImgNext, &ImgBack, &ImgPlay, &ImgRewind, &ImgCatch, &ImgOpen, &Img1 };
    for (auto it = std::rbegin(order); it != std::rend(order); ++it)
        (*it)->raise();
    Tonwell1.raise();
    Fbar1.raise();
    Flash1.raise();
}

// The first thing the window's load does.
void frmMain::LoadSkinPictures()
{
    LoadSkinPicture(134, ImgIco);
    LoadSkinPicture(203, ImgOpen);
    LoadSkinPicture(230, ImgCatch);
    LoadSkinPicture(182, ImgRewind);
    LoadSkinPicture(173, ImgPlay);
    LoadSkinPicture(206, ImgBack);
    LoadSkinPicture(185, ImgNext);
    LoadSkinPicture(197, ImgExit);
    LoadSkinPicture(111, ImgBar1);
    LoadSkinPicture(118, ImgEnd);
    LoadSkinPicture(114, ImgMax);
    LoadSkinPicture(112, ImgMin);
    LoadSkinPicture(191, ImgMenu);
    LoadSkinPicture(141, Image1);
}
