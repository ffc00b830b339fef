#include "frmList.h"

#include "chrome/ImageButton.h"
#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/mdlCommonFunctions.h"
#include "menu/frmBKList.h"
#include "platform/FileDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"
#include "playlist/ListFile.h"
#include "playlist/SortStrings.h"
#include "playlist/mdlCollectAnimations.h"

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

const QString ListFileFilter = QStringLiteral("列表文件（*.txt）|*.txt|所有文件（*.*）|*.*");

// Readies CmdD1 for one question: a cancel is reported, and no file name is offered.
void prepare(platform::FileDialog& dialog, const QString& filter, const QString& title, int flags)
{
    dialog.setFilter(filter);
    dialog.setDialogTitle(title);
    dialog.setFlags(flags);
    dialog.setCancelError(true);
    dialog.setFileName(QString());
}

} // namespace

frmList::frmList(core::Forms& forms, QWidget* owner)
    : SecondaryForm(forms, owner, { 4815, 4110, 4815, 40, 30, 4440, 80 })
    , fileDialog_(forms.platform().createFileDialog(this))
    , CmdD1(*fileDialog_)
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
    connect(&List1, &playlist::ListBox::DblClick, this, &frmList::PlaySelAni);

    Line1.setEnds(5, 0, 5, 4805);
    Line2.setEnds(4805, 0, 4805, 4805);
    Line3.setEnds(5, 4320, 4805, 4320);

    Form_Load();
}

frmList::~frmList() = default;

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

    // The copy is one step, a few milliseconds even for a full list: nothing else runs
    // meanwhile, so no timer or hot key can reach a window that is half filled.
    setWindowTitle(QStringLiteral("Loading Play List"));
    if (const frmBKList* store = forms().bkList.loaded(); store && !store->List1.isEmpty()) {
        List1.Clear();
        List1.AddItems(store->List1);
    }
    setWindowTitle(QStringLiteral("Play List"));
}

void frmList::Form_Unload()
{
    setWindowTitle(QStringLiteral("Unloading"));
    // A store that was never made is empty; it is made only when there is something to keep.
    if (forms().bkList.isLoaded() || List1.ListCount() > 0)
        forms().bkList.get().List1 = List1.entries();
    SecondaryForm::Form_Unload();
}

void frmList::Unload()
{
    if (forms().list.loaded() == this)
        forms().list.unload();
}

int frmList::storedCurSwf() const
{
    const frmBKList* store = forms().bkList.loaded();
    return store ? store->CurSwfValue : 0;
}

void frmList::setStoredCurSwf(int value)
{
    forms().bkList.get().CurSwfValue = value;
}

int frmList::CurSwf() const
{
    const int stored = storedCurSwf();
    if (stored < 0)
        return 0;
    return std::min(stored, List1.ListCount());
}

void frmList::setCurSwf(int value)
{
    if (value < 0 || value >= List1.ListCount())
        return;
    setStoredCurSwf(value);
    List1.setListIndex(value);
}

void frmList::load(const QString& entry)
{
    mdlCommonFunctions::LoadAni(forms().main().Flash1, false, entry);
}

void frmList::PlaySelAni()
{
    if (List1.ListCount() == 0)
        return;
    const int selected = List1.ListIndex();
    setStoredCurSwf(selected);
    // With nothing selected the entry is empty text, which loads nothing.
    load(List1.List(selected));
}

// With nothing selected there is no entry to move: nothing happens.
void frmList::ItemUp()
{
    const int selected = List1.ListIndex();
    if (List1.ListCount() < 2 || selected <= 0)
        return;
    const QString moved = List1.List(selected);
    List1.setList(selected, List1.List(selected - 1));
    List1.setList(selected - 1, moved);
    List1.setListIndex(selected - 1);
}

void frmList::ItemDown()
{
    const int selected = List1.ListIndex();
    if (List1.ListCount() < 2 || selected < 0 || selected == List1.ListCount() - 1)
        return;
    const QString moved = List1.List(selected);
    List1.setList(selected, List1.List(selected + 1));
    List1.setList(selected + 1, moved);
    List1.setListIndex(selected + 1);
}

void frmList::DelItem()
{
    const int removed = List1.ListIndex();
    if (List1.ListCount() == 0 || removed < 0)
        return;
    // Next then goes on with the entry that followed the removed one.
    if (storedCurSwf() >= removed)
        setStoredCurSwf(storedCurSwf() - 1);
    List1.RemoveItem(removed);
    List1.setListIndex(removed < List1.ListCount() ? removed : -1);
}

void frmList::ClearList()
{
    List1.Clear();
    setStoredCurSwf(0);
}

void frmList::SortItem()
{
    if (List1.ListCount() == 0)
        return;
    QStringList entries = List1.entries();
    mdlCommonFunctions::SortStrings(entries);
    List1.Clear();
    List1.AddItems(entries);
}

void frmList::AddItems()
{
    using platform::FileDialog;
    prepare(CmdD1, QStringLiteral("Flash文件（*.swf）|*.swf|所有文件（*.*）|*.*"),
        QStringLiteral("选择要加入列表的Flash文件"), FileDialog::AllowMultiSelect | FileDialog::Explorer);
    if (!CmdD1.ShowOpen())
        return;
    // One file is its full path; several are the folder, then each name in it.
    const QStringList parts = CmdD1.FileName().split(QChar(u'\0'));
    QStringList paths;
    if (parts.size() == 1) {
        paths = parts;
    } else {
        for (qsizetype i = 1; i < parts.size(); ++i)
            paths << mdlCollectAnimations::joinPath(parts.first(), parts[i]);
    }
    appendEntries(paths);
}

int frmList::appendEntries(const QStringList& paths)
{
    const int appended = List1.AddItems(paths);
    if (appended < paths.size())
        tellListFull(paths.size() - appended);
    return appended;
}

void frmList::tellListFull(qsizetype refused)
{
    forms().platform().messageBoxes().information(messageOwner(), QStringLiteral("提示"),
        QStringLiteral("播放列表已满，最多只能有%1项。另有%2个文件没有加入列表。")
            .arg(playlist::ListBox::MaxCount)
            .arg(refused));
}

QWidget* frmList::messageOwner()
{
    if (isVisible())
        return this;
    return &forms().main();
}

void frmList::CollectItems()
{
    const QString folder = mdlCollectAnimations::BrowseFolder(forms().platform().folderPicker(),
        forms().platform().messageBoxes(), QStringLiteral("选择需要搜索的文件夹"), this);
    if (const int refused = mdlCollectAnimations::AddSwfFiles(folder, List1); refused > 0)
        tellListFull(refused);
    // Entry 0 loads even when nothing was found: it may be an older entry.
    if (List1.ListCount() > 0) {
        load(List1.List(0));
        setStoredCurSwf(0);
    }
}

void frmList::LoadList()
{
    prepare(CmdD1, ListFileFilter, QStringLiteral("加载播放列表文件"), 0);
    if (!CmdD1.ShowOpen())
        return;
    const QString path = CmdD1.FileName();
    // The file is read whole before the list is touched: a damaged one changes nothing.
    const auto entries = playlist::readListFile(path);
    if (!entries) {
        forms().platform().messageBoxes().warning(
            messageOwner(), QStringLiteral("错误"), playlist::describe(entries.error(), path));
        return;
    }
    if (!entries->isEmpty()) {
        List1.Clear();
        List1.AddItems(*entries);
    }
    if (List1.ListCount() > 0)
        load(List1.List(0));
}

void frmList::SaveList()
{
    if (List1.ListCount() == 0)
        return;
    prepare(CmdD1, ListFileFilter, QStringLiteral("保存播放列表文件"), 0);
    if (!CmdD1.ShowSave())
        return;
    const QString path = CmdD1.FileName();
    if (const auto saved = playlist::writeListFile(path, List1.entries()); !saved) {
        forms().platform().messageBoxes().warning(
            messageOwner(), QStringLiteral("错误"), playlist::describe(saved.error(), path));
    }
}
