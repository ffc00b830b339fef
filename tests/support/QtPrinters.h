#pragma once

#include <QString>

#include <ostream>

// GoogleTest shows Qt's strings as text in its failure messages (a QStringList then reads
// as a list of texts).
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
