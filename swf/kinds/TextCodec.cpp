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

} // namespace

QString movieText(std::string_view bytes, uint8_t swfVersion)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (swfVersion >= 6 || validUtf8(bytes))
        return QString::fromUtf8(view);
    QStringDecoder gbk("GBK");
    if (!gbk.isValid())
        return QString::fromLatin1(view);
    return gbk.decode(view);
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
