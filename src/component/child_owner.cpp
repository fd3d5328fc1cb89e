#include "component/child_owner.h"

namespace component {

ChildOwner::~ChildOwner() {
    for (ChildObject* child : listedChildren) delete child;
    listedChildren.clear();
    DeleteKeyedChildren();
}

void ChildOwner::DeleteKeyedChildren() {
    for (auto& entry : keyedChildren) delete entry.second;
    keyedChildren.clear();
}

}  // namespace component
