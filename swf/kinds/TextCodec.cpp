#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace swf {
namespace {

bool validUtf8(std::string_view s)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
    return !decoder.hasError() && !decoded.contains(QChar::ReplacementCharacter);
}

// Chinese text pairs a lead byte with a trail byte, both high. A high byte before a plain
// one is a Western code page's letter instead (an accented letter amid ASCII).
bool pairsOfHighBytes(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto lead = static_cast<uint8_t>(s[i]);
        if (lead < 0x80)
            continue;
        if (lead == 0x80 || lead == 0xFF || i + 1 >= s.size())
            return false;
        const auto trail = static_cast<uint8_t>(s[i + 1]);
        if (trail < 0x80 || trail == 0xFF)
            return false;
        ++i;
    }
    return true;
}

} // namespace

QString movieText(std::string_view bytes, uint8_t swfVersion)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (swfVersion >= 6 || validUtf8(bytes))
        return QString::fromUtf8(view);
    if (pairsOfHighBytes(bytes)) {
        QStringDecoder gbk("GBK");
        if (gbk.isValid())
            return gbk.decode(view);
    }
    QStringDecoder western("windows-1252");
    if (!western.isValid())
        return QString::fromLatin1(view);
    return western.decode(view);
}

std::string toMovieText(const QString& text, uint8_t swfVersion)
{
    if (swfVersion >= 6)
        return text.toStdString();
    QStringEncoder gbk("GBK");
    if (!gbk.isValid())
        return text.toStdString();
    const QByteArray bytes = gbk.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace swf
