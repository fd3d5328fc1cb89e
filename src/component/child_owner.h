// Objects a component owns besides its own fields. The owner deletes every non-null child
// through its virtual destructor; null entries are skipped.
#pragma once

#include <cstdint>
#include <list>
#include <map>

namespace component {

// Anything a component may own: deleted through this destructor only.
class ChildObject {
public:
    virtual ~ChildObject() = default;
};

class ChildOwner {
public:
    ChildOwner() = default;
    ChildOwner(const ChildOwner&) = delete;
    ChildOwner& operator=(const ChildOwner&) = delete;

    // The component's only entry for deletion: a component is deleted through this base.
    // Listed children go first, then the keyed ones that a finalising release left.
    virtual ~ChildOwner();

    std::map<uint32_t, ChildObject*> keyedChildren;
    std::list<ChildObject*> listedChildren;

protected:
    // Deletes the keyed children in key order and empties the map.
    void DeleteKeyedChildren();
};

}  // namespace component
