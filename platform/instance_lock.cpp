// Single-instance lock files under the user's runtime folder, held with flock.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {
int heldFd = -1;

std::string lockPath(const char* name) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    std::string base = (dir && *dir) ? dir : "/tmp";
    return base + "/" + name + "-" + std::to_string(getuid()) + ".lock";
}

int openLock(const char* name) {
    return open(lockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}
}  // namespace

bool instanceLockHeld(const char* name) {
    const int fd = openLock(name);
    if (fd < 0) return false;
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);  // closing releases the lock if we got it
    return held;
}

bool acquireInstanceLock(const char* name) {
    if (heldFd >= 0) return true;
    const int fd = openLock(name);
    if (fd < 0) return true;  // no place for a lock file: do not stop the program for it
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    heldFd = fd;
    return true;
}

void releaseInstanceLock() {
    if (heldFd < 0) return;
    close(heldFd);
    heldFd = -1;
}
