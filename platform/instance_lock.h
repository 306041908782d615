// The single-instance rule: a per-user advisory lock file named after the window class.
#pragma once

// Whether another process holds the lock `name` right now (tries it and releases it again).
bool instanceLockHeld(const char* name);
// Takes the lock `name` for the rest of the process; false when another process holds it.
bool acquireInstanceLock(const char* name);
// Releases the lock taken by acquireInstanceLock (tests).
void releaseInstanceLock();
