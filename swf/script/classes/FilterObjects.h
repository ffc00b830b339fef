#pragma once

// The flash.filters objects as the renderer's filters, for BitmapData.applyFilter and the
// filters property of clips, buttons and text fields.

#include "swf/format/Filters.h"
#include "swf/script/Value.h"

#include <optional>

namespace swf::script {

class Vm;

// The filter a script's filter object stands for; nothing for any other value.
std::optional<Filter> filterOf(Vm& vm, const Value& v);

} // namespace swf::script
