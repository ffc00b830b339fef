#pragma once

#include "Object.h"

#include "swf/display/DisplayObject.h"

#include <optional>

namespace swf {
class MovieClip;
}

namespace swf::script {

class ScriptEngine;

// The script side of a display object: a movie clip, a button or a text field as scripts
// see it. It holds the script's own variables of the object and answers its display
// properties (_x, _alpha, _currentframe ...) and its children by instance name.
//
// The display object may go while scripts still hold this object. Such a reference then
// stands for its target path: when an object is at that path again, the reference reaches
// it (liveClip); until then its display properties are undefined.
class ClipObject final : public Object {
public:
    enum class Kind : uint8_t { MovieClip, Button, TextField, Other };

    ClipObject(ScriptEngine& engine, Object* proto, DisplayObject& display, Kind kind);

    ClipObject* asClip() override { return this; }
    QString typeOf() const override;
    Kind kind() const { return kind_; }
    ScriptEngine& engine() const { return engine_; }

    // The display object while it lives; null once it is gone.
    DisplayObject* display() const;
    MovieClip* movieClip() const;
    ObjectId displayId() const { return id_; }
    // The dot path the object had when it was last seen alive ("_level0.menu.play").
    const QString& lastPath() const { return path_; }
    void rememberPath();
    bool removed() const { return removed_; }
    // Removed, with its unload handler still to run.
    bool unloading() const { return unloading_; }
    void setUnloading(bool unloading) { unloading_ = unloading; }
    void markRemoved()
    {
        rememberPath();
        removed_ = true;
    }

    bool getHost(const QString& name, Value& out) override;
    bool setHost(const QString& name, const Value& value) override;
    bool hasHost(const QString& name) override;
    void hostKeys(std::vector<QString>& out) override;

    // A child by instance name (after the object's own variables).
    bool child(const QString& name, Value& out);

    // The display properties by their GetProperty index (0 _x ... 21 _ymouse).
    Value property(int index);
    void setProperty(int index, const Value& value);
    static int propertyIndex(const QString& name);

    // What scripts set of the transform, kept as given so that reading it back gives the
    // same numbers (the matrix alone loses the sign of a scale and rounds rotations).
    void forgetTransformCache() { cache_.reset(); }

private:
    // _focusrect: the movie's switch on a level's root, an own value on other objects.
    Value focusRect();
    void setFocusRect(const Value& value);
    struct TransformCache {
        double xscale = 100;
        double yscale = 100;
        double rotation = 0; // of the x axis, in degrees
        double skew = 0; // the y axis's angle less the x axis's, in radians (a flip is pi)
        Matrix matrix;
    };
    TransformCache& transform();
    void applyTransform(const TransformCache& t);

    ScriptEngine& engine_;
    ObjectId id_;
    Kind kind_;
    QString path_;
    bool removed_ = false;
    bool unloading_ = false;
    std::optional<TransformCache> cache_;
};

// The live object behind a clip reference: the clip itself while its display object
// lives, else the clip now at its path, else the reference itself.
Object* liveClip(ClipObject& clip);
// The path scripts print for a clip ("_level0.menu").
QString clipPath(ClipObject& clip);

} // namespace swf::script
