#pragma once

#include <QString>
#include <QTemporaryFile>

namespace swf::exporting {

// A file written under a hidden temporary name beside its final one and renamed into
// place only when it is whole, so that a failed or interrupted export leaves no broken
// file and never harms a file of that name that was there before.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const QString& finalPath);

    // False when the folder cannot take the file; error() says why.
    bool ok() const { return ok_; }
    QString error() const { return error_; }
    // Where to write meanwhile.
    QString path() const { return temporary_.fileName(); }
    // Renames the file into place. Without it, the file is removed on destruction.
    bool commit();

private:
    QString finalPath_;
    QTemporaryFile temporary_;
    bool ok_ = false;
    QString error_;
};

} // namespace swf::exporting
