// The real clock setter refuses, with error 70 and a description that says
// how to allow it, a program that lacks the right to set the clock. The call
// runs in a child process that first gives up that right and checks that it
// is gone, so that no test ever sets the machine's clock; the child asks for
// the time it reads itself besides.

#include "platform/RtError.h"
#include "platform/WallClock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <linux/capability.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int ran = 0;      // 0: the right could not be given up, nothing was called
    int number = -1;  // the error raised, 0 for none
    char description[400] = {};
};

bool mayStillSetTheClock()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return true;
    return (data[CAP_TO_INDEX(CAP_SYS_TIME)].effective & CAP_TO_MASK(CAP_SYS_TIME)) != 0;
}

void giveUpTheClock()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return;
    data[CAP_TO_INDEX(CAP_SYS_TIME)].effective &= ~CAP_TO_MASK(CAP_SYS_TIME);
    data[CAP_TO_INDEX(CAP_SYS_TIME)].permitted &= ~CAP_TO_MASK(CAP_SYS_TIME);
    ::syscall(SYS_capset, &header, data);
}

// Runs in the child: never returns.
[[noreturn]] void child(int out)
{
    Outcome o;
    giveUpTheClock();
    if (!mayStillSetTheClock()) {
        o.ran = 1;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        try {
            plat::setSystemTime(now);
            o.number = 0;
        } catch (const plat::RtError& e) {
            o.number = e.number();
            std::strncpy(o.description, e.description().toUtf8().constData(), sizeof o.description - 1);
        }
    }
    (void)!::write(out, &o, sizeof o);
    ::_exit(0);
}

} // namespace

TEST(WallClock, WithoutTheRightToSetTheClockTheSetterRefusesWithError70AndSaysHowToAllowIt)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        child(fds[1]);
    }
    ::close(fds[1]);
    Outcome o;
    pollfd p{fds[0], POLLIN, 0};
    const bool answered = ::poll(&p, 1, 10000) == 1 && ::read(fds[0], &o, sizeof o) == ssize_t(sizeof o);
    ::close(fds[0]);
    if (!answered)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(answered) << "the child gave no answer";
    if (!o.ran)
        GTEST_SKIP() << "this process cannot give up the right to set the clock";
    EXPECT_EQ(o.number, plat::rt::PermissionDenied) << o.description;
    EXPECT_NE(std::strstr(o.description, "setcap cap_sys_time+ep PLX2"), nullptr) << o.description;
}
