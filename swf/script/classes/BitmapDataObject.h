#pragma once

// The script object of flash.display.BitmapData, shared by the BitmapData class, the
// filter classes (DisplacementMapFilter.mapBitmap) and MovieClip.attachBitmap.

#include "swf/render/BitmapSurface.h"
#include "swf/script/Object.h"

#include <memory>

namespace swf::script {

class Vm;

class BitmapDataObject final : public Object {
public:
    BitmapDataObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    // Null once disposed (or when the constructor refused the size).
    std::shared_ptr<BitmapSurface> pixels;
};

inline BitmapDataObject* asBitmapData(const Value& v)
{
    return v.object() ? dynamic_cast<BitmapDataObject*>(v.object()) : nullptr;
}

// The pixels of a value that is a live BitmapData; null otherwise.
inline BitmapSurface* livePixels(const Value& v)
{
    BitmapDataObject* o = asBitmapData(v);
    return o ? o->pixels.get() : nullptr;
}

// A new BitmapData object holding `pixels`.
Ref<Object> newBitmapData(Vm& vm, std::shared_ptr<BitmapSurface> pixels);

} // namespace swf::script
