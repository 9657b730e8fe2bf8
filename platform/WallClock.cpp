#include "platform/WallClock.h"

#include "platform/RtError.h"

#include <QDateTime>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <linux/rtc.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr const char* kHardwareClock = "/dev/rtc0";

[[noreturn]] void refused()
{
    throw RtError(rt::PermissionDenied,
                  QStringLiteral("Permission denied: this program may not set the clock. Allow it with "
                                 "\"setcap cap_sys_time+ep PLX2\" (as root, in the program folder)."));
}

[[noreturn]] void hardwareClockRefused()
{
    throw RtError(rt::PermissionDenied,
                  QStringLiteral("Permission denied: this program may not use the hardware clock %1. Give it read "
                                 "access to the device (its group), and \"setcap cap_sys_time+ep PLX2\".")
                      .arg(QLatin1String(kHardwareClock)));
}

bool noDevice(int err) { return err == ENOENT || err == ENODEV || err == ENXIO; }

class SystemWallClock : public WallClock {
public:
    DateTime now() const override { return DateTime::now(); }
    void set(const DateTime& local) override
    {
        const qint64 secs = local.toQDateTime().toSecsSinceEpoch();
        timespec utc{};
        utc.tv_sec = time_t(secs);
        setSystemTime(utc);
    }
};

} // namespace

WallClock& systemWallClock()
{
    static SystemWallClock clock;
    return clock;
}

void setSystemTime(const timespec& utc)
{
    // The hardware clock is opened first: a device the program may not use
    // refuses the whole change before anything is set.
    int rtc = ::open(kHardwareClock, O_RDONLY | O_CLOEXEC);
    if (rtc < 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM)
            hardwareClockRefused();
        if (!noDevice(err))
            throw RtError(rt::DeviceIOError,
                          QStringLiteral("Cannot open the hardware clock %1: %2").arg(kHardwareClock, systemErrorText(err)));
    }
    if (::clock_settime(CLOCK_REALTIME, &utc) != 0) {
        const int err = errno;
        if (rtc >= 0)
            ::close(rtc);
        if (err == EPERM)
            refused();
        throw RtError(errnoError(err).number(), QStringLiteral("Cannot set the clock: %1").arg(systemErrorText(err)));
    }
    if (rtc < 0)
        return;
    const time_t t = utc.tv_sec;
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    rtc_time hw{};
    hw.tm_sec = tm.tm_sec;
    hw.tm_min = tm.tm_min;
    hw.tm_hour = tm.tm_hour;
    hw.tm_mday = tm.tm_mday;
    hw.tm_mon = tm.tm_mon;
    hw.tm_year = tm.tm_year;
    const int result = ::ioctl(rtc, RTC_SET_TIME, &hw);
    const int err = errno;
    ::close(rtc);
    if (result != 0)
        throw RtError(rt::DeviceIOError, QStringLiteral("The clock is set, but the hardware clock %1 refused it: %2")
                                             .arg(kHardwareClock, systemErrorText(err)));
}

} // namespace plat
