// Long-lived objects that register themselves in the process-wide instance list.
#pragma once

class TrackedObject {
public:
    TrackedObject();
    virtual ~TrackedObject();
    TrackedObject(const TrackedObject&) = delete;
    TrackedObject& operator=(const TrackedObject&) = delete;
};

// The instance list: a doubly linked list of every live tracked object, in construction order.
struct InstanceNode {
    InstanceNode* previous;
    InstanceNode* next;
    TrackedObject* object;
};

struct InstanceList {
    InstanceNode* first = nullptr;
    InstanceNode* last = nullptr;
    int count = 0;

    void append(TrackedObject* object);
    // Removes the first node holding `object`; a second removal does nothing.
    void remove(TrackedObject* object);
    ~InstanceList();
};

InstanceList& instanceList();
