#include "ListFile.h"

#include "Limits.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace playlist {

namespace {

using Kind = ListFileError::Kind;

QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xfeff)) ? text.mid(1) : text;
    QStringDecoder chinese("GB18030", QStringConverter::Flag::Stateless);
    if (chinese.isValid())
        return chinese(bytes);
    return QString::fromLatin1(bytes);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Walks the fields of a list file's text.
class FieldReader {
public:
    explicit FieldReader(const QString& text)
        : text_(text)
    {
    }

    bool atEnd() const { return pos_ >= text_.size(); }

    // The next field; call only when not at the end.
    QString next()
    {
        while (!atEnd() && isBlank(text_[pos_]))
            ++pos_;
        QString field;
        if (!atEnd() && text_[pos_] == u'"') {
            const qsizetype close = text_.indexOf(u'"', pos_ + 1);
            const qsizetype end = close < 0 ? text_.size() : close;
            field = text_.sliced(pos_ + 1, end - pos_ - 1);
            pos_ = close < 0 ? text_.size() : close + 1;
            // Whatever stands between the closing quote and the separator is not read.
            while (!atEnd() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
                ++pos_;
        } else {
            const qsizetype start = pos_;
            while (!atEnd() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
                ++pos_;
            field = text_.sliced(start, pos_ - start);
            while (!field.isEmpty() && isBlank(field.back()))
                field.chop(1);
        }
        skipSeparator();
        return field;
    }

private:
    void skipSeparator()
    {
        if (atEnd())
            return;
        if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n')
            ++pos_;
        ++pos_;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

// A count: an optional sign and decimal digits.
std::expected<int, ListFileError> parseCount(const QString& field)
{
    QStringView digits(field);
    const bool negative = digits.startsWith(u'-');
    if (negative || digits.startsWith(u'+'))
        digits = digits.sliced(1);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c.isDigit() && c.unicode() < 128;
        }))
        return std::unexpected(ListFileError { Kind::NotANumber, field });
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    const int value = digits.size() > 6 ? MaxEntries + 1 : digits.toInt();
    if (negative && value != 0)
        return std::unexpected(ListFileError { Kind::CountOutOfRange, field });
    if (value > MaxEntries)
        return std::unexpected(ListFileError { Kind::CountOutOfRange, field });
    return value;
}

} // namespace

std::expected<QStringList, ListFileError> parseListFile(const QByteArray& bytes)
{
    const QString text = decode(bytes);
    FieldReader fields(text);
    if (fields.atEnd())
        return std::unexpected(ListFileError { Kind::NotANumber, QString() });
    const QString countField = fields.next();
    const auto count = parseCount(countField);
    if (!count)
        return std::unexpected(count.error());

    QStringList entries;
    entries.reserve(*count);
    while (entries.size() < *count && !fields.atEnd())
        entries << fields.next();
    if (entries.size() < *count)
        return std::unexpected(
            ListFileError { Kind::MissingEntries, countField, static_cast<int>(entries.size()) });
    return entries;
}

std::expected<QStringList, ListFileError> readListFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(ListFileError { Kind::CannotOpen });
    if (file.size() > MaxListFileBytes)
        return std::unexpected(ListFileError { Kind::TooLarge });
    const QByteArray bytes = file.read(MaxListFileBytes + 1);
    if (bytes.size() > MaxListFileBytes)
        return std::unexpected(ListFileError { Kind::TooLarge });
    return parseListFile(bytes);
}

std::expected<QByteArray, ListFileError> formatListFile(const QStringList& entries)
{
    QString text = QString::number(entries.size()) + QStringLiteral("\r\n");
    for (const QString& entry : entries) {
        // The format has no escapes: such an entry would not read back as it was.
        if (entry.contains(u'"') || entry.contains(u'\r') || entry.contains(u'\n'))
            return std::unexpected(ListFileError { Kind::UnwritableEntry, {}, 0, entry });
        text += u'"' + entry + QStringLiteral("\"\r\n");
    }
    return text.toUtf8();
}

std::expected<void, ListFileError> writeListFile(const QString& path, const QStringList& entries)
{
    const auto bytes = formatListFile(entries);
    if (!bytes)
        return std::unexpected(bytes.error());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return std::unexpected(ListFileError { Kind::CannotWrite });
    return {};
}

QString describe(const ListFileError& error, const QString& path)
{
    const QString unchanged = QStringLiteral("原来的播放列表没有改变。");
    switch (error.kind) {
    case Kind::CannotOpen:
        return QStringLiteral("无法打开播放列表文件“%1”。").arg(path);
    case Kind::TooLarge:
        return QStringLiteral("“%1”太大，不是播放列表文件。").arg(path) + unchanged;
    case Kind::NotANumber:
        return QStringLiteral("播放列表文件“%1”已损坏：第一行不是列表的项数。").arg(path) + unchanged;
    case Kind::CountOutOfRange:
        return QStringLiteral("播放列表文件“%1”已损坏：列表的项数%2不在0到%3之间。")
                   .arg(path, error.count)
                   .arg(MaxEntries)
            + unchanged;
    case Kind::MissingEntries:
        return QStringLiteral("播放列表文件“%1”已损坏：应有%2项，只找到%3项。")
                   .arg(path, error.count)
                   .arg(error.found)
            + unchanged;
    case Kind::CannotWrite:
        return QStringLiteral("无法保存播放列表文件“%1”。原有的文件没有改变。").arg(path);
    case Kind::UnwritableEntry:
        return QStringLiteral("列表项“%1”含有双引号或换行，不能写入播放列表文件。播放列表没有保存。")
            .arg(error.entry);
    }
    return {};
}

} // namespace playlist
