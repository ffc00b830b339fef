#pragma once

#include <QByteArray>
#include <QString>

#include <compare>
#include <optional>

namespace mdlUpgrade {

// Fields of a text read one after the other by the rules of comma-separated input: a
// field ends at a comma or at the end of a line (CR LF, LF or CR); spaces before it are
// skipped; a field that begins with a double quote runs to the next double quote, and
// what follows that quote up to the field's end is dropped.
class FieldReader {
public:
    explicit FieldReader(QString text)
        : text_(std::move(text))
    {
    }

    // The next field; nullopt once the text has ended.
    std::optional<QString> next();

private:
    // Passes the comma or line end at the position, if any.
    void passSeparator();

    QString text_;
    qsizetype position_ = 0;
};

struct ProgramVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;

    // Major first, then minor, then revision, each as a number.
    auto operator<=>(const ProgramVersion&) const = default;
};

// What the version file names: the newest release and where to download it.
struct VersionFile {
    ProgramVersion version;
    QString address;
};

// The four fields of a version file: major, minor and revision number as decimal text, then
// the download address. Nullopt when the file ends before the fourth field, a field is
// empty or a single space, or a number is not one.
std::optional<VersionFile> parseVersionFile(const QByteArray& bytes);

} // namespace mdlUpgrade
