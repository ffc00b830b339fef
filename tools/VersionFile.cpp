#include "VersionFile.h"

#include <algorithm>

namespace mdlUpgrade {

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

std::optional<unsigned> number(const QString& field)
{
    const QString digits = field.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    bool ok = false;
    const unsigned value = digits.toUInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

std::optional<QString> FieldReader::next()
{
    while (position_ < text_.size() && text_[position_] == u' ')
        ++position_;
    if (position_ >= text_.size())
        return std::nullopt;

    QString field;
    if (text_[position_] == u'"') {
        const qsizetype close = text_.indexOf(u'"', position_ + 1);
        const qsizetype end = close < 0 ? text_.size() : close;
        field = text_.mid(position_ + 1, end - position_ - 1);
        position_ = end + 1;
        while (position_ < text_.size() && text_[position_] != u',' && !isLineEnd(text_[position_]))
            ++position_;
    } else {
        const qsizetype start = position_;
        while (position_ < text_.size() && text_[position_] != u',' && !isLineEnd(text_[position_]))
            ++position_;
        field = text_.mid(start, position_ - start);
    }
    passSeparator();
    return field;
}

void FieldReader::passSeparator()
{
    if (position_ >= text_.size())
        return;
    if (text_[position_] == u'\r' && position_ + 1 < text_.size() && text_[position_ + 1] == u'\n')
        ++position_;
    ++position_;
}

std::optional<VersionFile> parseVersionFile(const QByteArray& bytes)
{
    FieldReader reader(QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes));
    QString fields[4];
    for (QString& field : fields) {
        std::optional<QString> read = reader.next();
        if (!read || read->isEmpty() || *read == u" ")
            return std::nullopt;
        field = *read;
    }
    const auto major = number(fields[0]);
    const auto minor = number(fields[1]);
    const auto revision = number(fields[2]);
    if (!major || !minor || !revision)
        return std::nullopt;
    return VersionFile { { *major, *minor, *revision }, fields[3].trimmed() };
}

} // namespace mdlUpgrade
