#include "FileDialog.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

DialogResult FileDialog::show(Mode mode)
{
    const std::optional<QStringList> chosen = ask(mode);
    if (!chosen || chosen->isEmpty()) {
        if (cancelError_)
            return std::unexpected(DialogError::Cancelled);
        return {};
    }
    fileName_ = fileNameForSelection(*chosen);
    return {};
}

QStringList FileDialog::nameFilters(const QString& filter)
{
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList globs;
        for (const QString& glob : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = glob.trimmed();
            if (!trimmed.isEmpty())
                globs << (trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
        }
        if (globs.isEmpty())
            continue;
        filters << QStringLiteral("%1 (%2)").arg(parts[i], globs.join(u' '));
    }
    return filters;
}

QString FileDialog::fileNameForSelection(const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    if (paths.size() == 1)
        return QDir::toNativeSeparators(paths.first());
    // A file dialog returns the files of one folder; a name from another folder (typed
    // in by hand) is kept relative to the first one, so that folder + separator + name
    // still finds it.
    const QDir folder = QFileInfo(paths.first()).absoluteDir();
    QStringList parts { QDir::toNativeSeparators(folder.absolutePath()) };
    for (const QString& path : paths)
        parts << QDir::toNativeSeparators(folder.relativeFilePath(path));
    return parts.join(QChar(u'\0'));
}

QStringList FileDialog::pathsOfSelection(const QString& fileName)
{
    const QStringList parts = fileName.split(QChar(u'\0'));
    if (parts.size() == 1)
        return fileName.isEmpty() ? QStringList() : parts;
    QString folder = parts.first();
    if (!folder.endsWith(u'/') && !folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    QStringList paths;
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (!parts[i].isEmpty())
            paths << folder + parts[i];
    return paths;
}

} // namespace platform
