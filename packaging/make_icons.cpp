// Draws the application's icon into an icon theme folder given on the command line, at
// the sizes desktops look for: hicolor/NxN/apps/zorvaplay.png.

#include "skin/SkinArt.h"

#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString path = theme.filePath(folder + QStringLiteral("/zorvaplay.png"));
        if (!theme.mkpath(folder) || !skin::drawApplicationIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot draw or write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
