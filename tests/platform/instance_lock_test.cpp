// The single-instance lock is seen by other processes while held.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/instance_lock.h"

TEST(InstanceLock, AnotherProcessSeesTheLockUntilItIsReleased) {
    const std::string name = "TR2WINDOW-test-" + std::to_string(getpid());
    EXPECT_FALSE(instanceLockHeld(name.c_str()));
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const char ok = acquireInstanceLock(name.c_str()) ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        char c;
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 1);
    EXPECT_TRUE(instanceLockHeld(name.c_str()));
    EXPECT_FALSE(acquireInstanceLock(name.c_str()));
    (void)!write(done[1], "x", 1);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(instanceLockHeld(name.c_str()));
    EXPECT_TRUE(acquireInstanceLock(name.c_str()));
    releaseInstanceLock();
}
