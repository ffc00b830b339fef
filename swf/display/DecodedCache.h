#pragma once

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <utility>

namespace swf {

struct Character;

// What the kinds of character decode from their definitions once and share between all
// their instances: a shape's paths, a bitmap's pixels, a font's glyphs. Keyed by the
// character and the type decoded, so that one kind may keep several things of one
// character (a shape's drawing and its outline as a mask).
class DecodedCache {
public:
    // The `T` of `character`, made by `make()` the first time it is asked for.
    template <class T, class Make> const T& get(const Character& character, Make&& make)
    {
        auto& slot = entries_[{ &character, std::type_index(typeid(T)) }];
        if (!slot)
            slot = std::make_shared<T>(std::invoke(std::forward<Make>(make)));
        return *static_cast<const T*>(slot.get());
    }
    // Whether the `T` of `character` has been made.
    template <class T> bool has(const Character& character) const
    {
        return entries_.contains({ &character, std::type_index(typeid(T)) });
    }
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

private:
    std::map<std::pair<const Character*, std::type_index>, std::shared_ptr<const void>> entries_;
};

} // namespace swf
