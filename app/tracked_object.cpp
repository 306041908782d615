// The instance list of tracked objects.
#include "app/tracked_object.h"

InstanceList& instanceList() {
    static InstanceList list;
    return list;
}

TrackedObject::TrackedObject() { instanceList().append(this); }
TrackedObject::~TrackedObject() { instanceList().remove(this); }

void InstanceList::append(TrackedObject* object) {
    auto* node = new InstanceNode{last, nullptr, object};
    if (last) last->next = node;
    else first = node;
    last = node;
    ++count;
}

void InstanceList::remove(TrackedObject* object) {
    for (InstanceNode* node = first; node; node = node->next) {
        if (node->object != object) continue;
        if (node->previous) node->previous->next = node->next;
        else first = node->next;
        if (node->next) node->next->previous = node->previous;
        else last = node->previous;
        --count;
        delete node;
        return;
    }
}

InstanceList::~InstanceList() {
    // At exit the remaining nodes are freed; their objects are not destroyed.
    while (first) {
        InstanceNode* next = first->next;
        delete first;
        first = next;
    }
    last = nullptr;
    count = 0;
}
