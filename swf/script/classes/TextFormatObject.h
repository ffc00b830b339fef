#pragma once

#include "swf/kinds/HtmlText.h"
#include "swf/script/Object.h"

#include <array>
#include <span>

namespace swf::script {

// A TextFormat: each field is null until given, so that applying the object to a text
// field changes only what it sets. Fields are kept as scripts see them (sizes and margins
// in pixels, the colour as 0xRRGGBB); writing one converts the value the way the original
// player's setters do.
class TextFormatObject final : public Object {
public:
    enum Field : uint8_t {
        Font,
        Size,
        Color,
        Url,
        Target,
        Bold,
        Italic,
        Underline,
        Align,
        LeftMargin,
        RightMargin,
        Indent,
        Leading,
        BlockIndent,
        Bullet,
        TabStops,
        Kerning,
        LetterSpacing,
        Display,
        FieldCount
    };

    TextFormatObject(Vm& vm, Object* proto);

    bool getHost(const QString& name, Value& out) override;
    bool setHost(const QString& name, const Value& value) override;
    bool hasHost(const QString& name) override;
    void hostKeys(std::vector<QString>& out) override;
    void trace(Tracer& tracer) override;
    void clearReferences() override;

    // The constructor's arguments: font, size, color, bold, italic, underline, url,
    // target, align, leftMargin, rightMargin, indent, leading. Numbers are cut to whole
    // ones here, where the setters round them.
    void construct(std::span<const Value> args);
    // Every field from a run of a text field.
    void assign(const TextFormat& format);
    // Nulls the fields in which `format` differs (a range of several formats).
    void intersect(const TextFormat& format);
    // Gives `format` the fields this object sets.
    void applyTo(TextFormat& format) const;

    const Value& field(Field f) const { return values_[f]; }
    void setField(Field f, const Value& value);

private:
    static int fieldOf(const QString& name, bool caseSensitive);
    static Value valueIn(const TextFormat& format, Field f, Vm& vm);

    std::array<Value, FieldCount> values_;
};

// The object behind a value, when it is a TextFormat.
TextFormatObject* asTextFormat(const Value& value);
// A new TextFormat with every field of `format`.
Ref<TextFormatObject> newTextFormat(Vm& vm, const TextFormat& format);

} // namespace swf::script
