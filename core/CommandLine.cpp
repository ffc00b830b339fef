#include "CommandLine.h"

#include <QDir>

namespace core {

QString joinArguments(const QStringList& arguments)
{
    return arguments.join(u' ');
}

std::optional<QString> movieFromCommandLine(const QString& commandLine, const QString& programFolder)
{
    QString text = commandLine;
    if (text.startsWith(u'"'))
        text = text.size() < 2 ? QString() : text.mid(1, text.size() - 2);
    if (text.isEmpty())
        return std::nullopt;

    if (text == u"yintian")
        return programFolder + QDir::separator() + QStringLiteral("阴天.swf");
    if (text == u"fatbaby")
        return programFolder + QDir::separator() + QStringLiteral("I Want A Fat Baby.swf");
    return text;
}

} // namespace core
