#include "frmAbout.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "chrome/MouseCodes.h"
#include "core/AppVersion.h"
#include "core/Forms.h"
#include "platform/TwipsGeometry.h"

#include <QMouseEvent>

using mdlCommonFunctions::LoadSkinPicture;

namespace {

const char* const Credits
    = "    感谢为本播放器绘制界面按钮的朋友。本播放器的源代码公开，由 Zorvaplay "
      "项目设计和维护，版权归 Zorvaplay 项目所有。如需商业使用，请先通过项目网站与我们联系并取得同意。";
const char* const PlaybackNote
    = "    由于 Flash 的制作方式花样繁多，播放个别 Flash 会有问题，详见ReadMe，如有bug，请多包涵。";

void placeLabel(QLabel& label, int left, int top, int width, int height, const char* text)
{
    platform::twipsGeometry::setRect(label, left, top, width, height);
    label.setText(QString::fromUtf8(text));
    label.setWordWrap(true);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = label.font();
    font.setPixelSize(12);
    label.setFont(font);
    // A label takes its own mouse events, so that it never drags the window.
    label.setAttribute(Qt::WA_NoMousePropagation);
}

} // namespace

frmAbout::frmAbout(core::Forms& forms, QWidget* owner)
    : SecondaryForm(forms, owner, { 4200, 2520, 4473, 43, 43, 3840, 86 })
{
    setObjectName(QStringLiteral("frmAbout"));
    setMouseTracking(true);

    placeLabel(lblDescription, 120, 600, 3975, 930, Credits);
    placeLabel(Label1, 120, 1560, 3975, 735, PlaybackNote);

    chrome::placeButton(ImgOK, 3600, 1963, 437, 436, QStringLiteral("确定"));
    chrome::wireButton(ImgOK, 194, 195, [this] { Unload(); });

    Line1.setEnds(5, 0, 5, 3651);
    Line2.setEnds(4180, 0, 4180, 3651);
    Line3.setEnds(0, 2507, 4200, 2507);

    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("%1 Version %2.%3.%4")
                       .arg(QString::fromUtf16(App::Title))
                       .arg(App::Major)
                       .arg(App::Minor)
                       .arg(App::Revision));
    followTopMostOption();
    LoadSkinPicture(134, ImgIco);
    LoadSkinPicture(194, ImgOK);
    LoadSkinPicture(111, ImgBar1);
    LoadSkinPicture(118, ImgEnd);
}

void frmAbout::Unload()
{
    if (forms().about.loaded() == this)
        forms().about.unload();
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    chrome::dragWindow(windows(), *this, FormGrab, chrome::buttonCode(event->buttons()),
        chrome::toTwips(event->position().x()), chrome::toTwips(event->position().y()));
}

// The background takes the press itself, so that the moves that follow are its own.
void frmAbout::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void frmAbout::mouseReleaseEvent(QMouseEvent*)
{
    chrome::endDrag(FormGrab);
}
