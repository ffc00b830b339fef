#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

// The top of the build tree, where the player and its bundled movies lie: the folder
// that CTest names, or else the one above the test binaries' tests/ folder.
inline QDir buildDir()
{
    const QString named = qEnvironmentVariable("ZORVA_BUILD_DIR");
    return QDir(named.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..") : named);
}
