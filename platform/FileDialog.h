#pragma once

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

class QWidget;

namespace platform {

// The one error a file dialog reports: the user cancelled while CancelError was set.
enum class DialogError { Cancelled };

using DialogResult = std::expected<void, DialogError>;

// The file dialog `CmdD1`, with the outside contract the program was written against:
// set the properties, call ShowOpen or ShowSave, read FileName.
//  - Filter is "description|pattern|description|pattern..."; a pattern may hold several
//    globs separated by ';'.
//  - With CancelError set, a cancel is returned as DialogError::Cancelled; without it a
//    cancel returns success and leaves FileName as it was.
//  - A multiple selection (Flags has AllowMultiSelect) of several files sets FileName to
//    the folder, NUL, name, NUL, name...; a single file is its full path.
//
// The properties and the shaping of the answer live here; an implementation only asks
// the user (QtFileDialog) or replays a script (FakeFileDialog).
class FileDialog {
public:
    enum Flag : int {
        OverwritePrompt = 0x2,
        AllowMultiSelect = 0x200,
        Explorer = 0x80000,
    };

    enum class Mode { Open, Save };

    virtual ~FileDialog() = default;

    QString FileName() const { return fileName_; }
    void setFileName(const QString& fileName) { fileName_ = fileName; }
    QString DialogTitle() const { return dialogTitle_; }
    void setDialogTitle(const QString& title) { dialogTitle_ = title; }
    QString Filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    int Flags() const { return flags_; }
    void setFlags(int flags) { flags_ = flags; }
    bool CancelError() const { return cancelError_; }
    void setCancelError(bool on) { cancelError_ = on; }

    [[nodiscard]] DialogResult ShowOpen() { return show(Mode::Open); }
    [[nodiscard]] DialogResult ShowSave() { return show(Mode::Save); }

    // "desc|pattern|desc|pattern" as Qt name filters ("desc (pattern pattern)"). A
    // description without a pattern after it is dropped; "*.*" becomes "*", which is what
    // it means on the system the filters were written for.
    static QStringList nameFilters(const QString& filter);
    // The FileName for a choice of full paths: one path as it is, several as the folder
    // of the first, NUL, and each name relative to that folder.
    static QString fileNameForSelection(const QStringList& paths);
    // The full paths a FileName names: a single name is one path; folder, NUL, names are
    // the folder joined with each name, in order (a separator goes between them unless the
    // folder already ends with one). Empty names name nothing.
    static QStringList pathsOfSelection(const QString& fileName);

protected:
    // Asks for files in `mode`; nullopt when the user cancelled, otherwise full paths
    // (more than one only in a multiple selection).
    virtual std::optional<QStringList> ask(Mode mode) = 0;

private:
    DialogResult show(Mode mode);

    QString fileName_;
    QString dialogTitle_;
    QString filter_;
    int flags_ = 0;
    bool cancelError_ = false;
};

} // namespace platform
