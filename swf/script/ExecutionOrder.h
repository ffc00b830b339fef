#pragma once

#include "swf/display/DisplayObject.h"

#include <list>
#include <unordered_map>
#include <vector>

namespace swf::script {

// The clips in the order their scripts run: the newest first, the movie's root last.
// Clips come and go by the thousand when a timeline rebuilds itself, so adding one in
// front and taking one out anywhere take constant time.
class ExecutionOrder {
public:
    void pushFront(ObjectId id)
    {
        remove(id);
        at_[id] = order_.insert(order_.begin(), id);
    }
    void pushBack(ObjectId id)
    {
        remove(id);
        at_[id] = order_.insert(order_.end(), id);
    }
    void remove(ObjectId id)
    {
        if (auto it = at_.find(id); it != at_.end()) {
            order_.erase(it->second);
            at_.erase(it);
        }
    }
    // A copy to walk while scripts change the order.
    std::vector<ObjectId> snapshot() const { return { order_.begin(), order_.end() }; }

private:
    std::list<ObjectId> order_;
    std::unordered_map<ObjectId, std::list<ObjectId>::iterator> at_;
};

} // namespace swf::script
