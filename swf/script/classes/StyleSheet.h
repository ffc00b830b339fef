#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace swf::script {

class Vm;

struct CssProperty {
    QString name; // camel-cased: font-size is fontSize
    QString value; // as written, leading spaces dropped
};

struct CssRule {
    QStringList selectors;
    std::vector<CssProperty> properties;
};

// The rules of a style sheet's text, the way TextField.StyleSheet reads CSS: selectors
// are words without spaces, a name runs to its colon and a value to its semicolon or
// closing brace, with no quoting or escapes. False, leaving `rules` alone, when the text
// breaks off inside a rule or a selector or name holds a space.
bool parseStyleSheet(const QString& text, std::vector<CssRule>& rules);

// TextField.StyleSheet, on the TextField class made before it.
void installStyleSheet(Vm& vm);

} // namespace swf::script
