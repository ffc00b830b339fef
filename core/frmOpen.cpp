#include "frmOpen.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/mdlCommonFunctions.h"
#include "platform/FileDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/MovieControl.h"
#include "platform/Platform.h"
#include "platform/TwipsGeometry.h"
#include "playlist/frmList.h"

#include <QEvent>

using mdlCommonFunctions::LoadSkinPicture;

frmOpen::frmOpen(core::Forms& forms, QWidget* owner)
    : SecondaryForm(forms, owner, { 5670, 1425, 5670, 40, 30, 5280, 80 })
    , fileDialog_(forms.platform().createFileDialog(this))
    , CmdD1(*fileDialog_)
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

    platform::twipsGeometry::setRect(Label1, 240, 525, 480, 255);
    platform::twipsGeometry::setRect(Txt1, 720, 480, 4785, 315);
    Txt1.installEventFilter(this);
    // The file dialog's filter is part of the window; BrowseFiles sets none of its own.
    CmdD1.setFilter(QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*"));

    Form_Load();
}

frmOpen::~frmOpen() = default;

void frmOpen::Form_Load()
{
    Txt1.setText(forms().main().Flash1.Movie());
    followTopMostOption();
    LoadSkinPicture(134, ImgIco);
    LoadSkinPicture(203, ImgOpen);
    LoadSkinPicture(197, ImgExit);
    LoadSkinPicture(194, ImgOK);
    LoadSkinPicture(111, ImgBar1);
    LoadSkinPicture(118, ImgEnd);
}

bool frmOpen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &Txt1 && event->type() == QEvent::FocusIn)
        Txt1_GotFocus();
    return SecondaryForm::eventFilter(watched, event);
}

// The whole text is selected. A click that gave the focus places the caret after the
// focus came, so the selection is made once the click is over.
void frmOpen::Txt1_GotFocus()
{
    QMetaObject::invokeMethod(&Txt1, &QLineEdit::selectAll, Qt::QueuedConnection);
}

// The text is passed on as typed: blanks are not trimmed, nothing is checked.
void frmOpen::OpenURL()
{
    const QString url = Txt1.text();
    if (url.isEmpty()) {
        forms().platform().messageBoxes().information(this, QStringLiteral("提示"),
            QStringLiteral("请在URl框中输入Flash文件的URL，或者点“浏览”选择一个本地的Flash文件。"));
        return;
    }
    frmMain& main = forms().main();
    mdlCommonFunctions::LoadAni(main.Flash1, true, url);
    Unload();
}

void frmOpen::BrowseFiles()
{
    CmdD1.setFlags(platform::FileDialog::Explorer | platform::FileDialog::AllowMultiSelect);
    CmdD1.setCancelError(true);
    CmdD1.setFileName(QString());
    if (!CmdD1.ShowOpen())
        return;
    const QString chosen = CmdD1.FileName();
    const QStringList paths = platform::FileDialog::pathsOfSelection(chosen);
    if (paths.isEmpty())
        return;

    // Several files replace the play list; one file leaves it alone.
    if (chosen.contains(QChar(u'\0'))) {
        frmList& list = forms().list.get();
        list.List1.Clear();
        list.appendEntries(paths);
    }
    frmMain& main = forms().main();
    Unload();
    mdlCommonFunctions::LoadAni(main.Flash1, false, paths.first());
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
