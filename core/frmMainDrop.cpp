// Dropping movie files on the main window, and the popup menu from its own surface.
//
// The dragged files are taken while they move over the window, not when they are dropped:
// the first pass of a drag appends its movies to the play list, and every pass whose first
// file is a movie loads that movie again. `Dropped` keeps a drag from appending twice; only
// a drop clears it.

#include "core/frmMain.h"

#include "core/Forms.h"
#include "core/mdlCommonFunctions.h"
#include "menu/frmBKList.h"
#include "playlist/Limits.h"
#include "playlist/frmList.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QUrl>

#include <optional>

namespace {

// The local files a drag carries, in its order; nullopt when it carries no file list.
std::optional<QStringList> draggedFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    QStringList files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    if (files.isEmpty())
        return std::nullopt;
    return files;
}

} // namespace

bool frmMain::IsMovieFile(const QString& path)
{
    return path.right(4).toUpper() == u".SWF";
}

int frmMain::Form_OLEDragOver(const QMimeData* Data, int Effect)
{
    const std::optional<QStringList> files = draggedFiles(Data);
    if (!files)
        return Qt::IgnoreAction;
    for (qsizetype i = 0; i < files->size(); ++i) {
        const QString& file = (*files)[i];
        if (!IsMovieFile(file))
            continue;
        Effect = Qt::CopyAction;
        if (i == 0)
            mdlCommonFunctions::LoadAni(Flash1, false, file);
        if (Dropped)
            return Effect;
        // The play-list window is loaded first: its loading copies the store as it stands,
        // so that the file then goes once into each list.
        frmList& list = forms_.list.get();
        QStringList& store = forms_.bkList.get().List1;
        if (store.size() < playlist::MaxEntries)
            store.append(file);
        list.appendEntries({ file });
    }
    Dropped = true;
    return Effect;
}

void frmMain::Form_OLEDragDrop()
{
    Dropped = false;
}

// Qt asks the same question on entering and on every move; both run the drag-over pass.
// A pass that is still busy (loading the play-list window lets events through) answers a
// nested question with what the drag proposed.
void frmMain::dragOver(QDragMoveEvent* event)
{
    if (inDragOver_) {
        event->acceptProposedAction();
        return;
    }
    const QScopedValueRollback busy(inDragOver_, true);
    const int proposed = event->proposedAction();
    const int effect = Form_OLEDragOver(event->mimeData(), proposed);
    if (effect == Qt::IgnoreAction) {
        event->ignore();
    } else if (effect == proposed) {
        event->acceptProposedAction();
    } else {
        event->setDropAction(static_cast<Qt::DropAction>(effect));
        event->accept();
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    dragOver(event);
}

void frmMain::dragMoveEvent(QDragMoveEvent* event)
{
    dragOver(event);
}

void frmMain::dropEvent(QDropEvent* event)
{
    Form_OLEDragDrop();
    event->acceptProposedAction();
}

// Only the window's own surface: the controls on it have their own mouse handling.
void frmMain::mouseReleaseEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()))
        return;
    Form_MouseUp(event->button() == Qt::RightButton ? 2 : 1);
}

void frmMain::Form_MouseUp(int Button)
{
    if (Button == 2)
        PopupCommandMenu();
}
