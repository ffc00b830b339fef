// Draws the skin bitmaps into the folder given on the command line: "ID.bmp" at the
// normal size and "ID@2x.bmp" at twice the size, 24-bit, and "skin.qrc", which makes
// them the program's resources under ":/skin/".

#include "skin/SkinArt.h"
#include "skin/SkinInventory.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

bool save(const QImage& image, const QString& path)
{
    return !image.isNull() && image.save(path, "BMP");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    QString qrc;
    QTextStream list(&qrc);
    list << "<RCC>\n  <qresource prefix=\"/skin\">\n";
    for (const skin::SkinBitmap& bitmap : skin::Inventory) {
        for (const int scale : { 1, 2 }) {
            const QString name = scale == 1 ? QStringLiteral("%1.bmp").arg(bitmap.id)
                                            : QStringLiteral("%1@2x.bmp").arg(bitmap.id);
            if (!save(skin::drawSkinBitmap(bitmap.id, scale), dir.filePath(name))) {
                std::fprintf(stderr, "cannot draw or write skin bitmap %s\n", qPrintable(dir.filePath(name)));
                return 1;
            }
            list << "    <file>" << name << "</file>\n";
        }
    }
    list << "  </qresource>\n</RCC>\n";

    QFile out(dir.filePath(QStringLiteral("skin.qrc")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(qrc.toUtf8()) != qrc.toUtf8().size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    return 0;
}
