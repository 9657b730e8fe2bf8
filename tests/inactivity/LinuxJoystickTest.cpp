// The joystick reader against pipes and FIFOs carrying joystick event records.

#include "inactivity/LinuxJoystick.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

using Stillmark::LinuxJoystick;

namespace {

js_event record(uint8_t type, uint8_t number, int16_t value, uint32_t time = 0)
{
    js_event e{};
    e.time = time;
    e.value = value;
    e.type = type;
    e.number = number;
    return e;
}

void writeRecords(int fd, std::initializer_list<js_event> records)
{
    for (const js_event& e : records)
        ASSERT_EQ(::write(fd, &e, sizeof e), ssize_t(sizeof e));
}

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() { closeWriter(); }
    void closeWriter()
    {
        if (fds[1] >= 0)
            ::close(fds[1]);
        fds[1] = -1;
    }
};

TEST(LinuxJoystick, TakesTheLastXAndYOfTheRecords)
{
    Pipe p;
    LinuxJoystick js(p.fds[0]);
    // An open device with nothing read yet answers at the centre.
    EXPECT_EQ(js.position(), QPoint(0, 0));

    // The state at the open, as the driver sends it: init records for every button and axis.
    writeRecords(p.fds[1], {record(JS_EVENT_BUTTON | JS_EVENT_INIT, 0, 0), record(JS_EVENT_AXIS | JS_EVENT_INIT, 0, -120),
                            record(JS_EVENT_AXIS | JS_EVENT_INIT, 1, 300), record(JS_EVENT_AXIS | JS_EVENT_INIT, 2, 999)});
    EXPECT_EQ(js.position(), QPoint(-120, 300));

    // Movements: the last of each axis counts; buttons and other axes are ignored.
    writeRecords(p.fds[1], {record(JS_EVENT_AXIS, 0, 5000, 10), record(JS_EVENT_BUTTON, 0, 1, 11), record(JS_EVENT_AXIS, 0, 32767, 12),
                            record(JS_EVENT_AXIS, 3, -32767, 13), record(JS_EVENT_BUTTON, 1, 1, 14)});
    EXPECT_EQ(js.position(), QPoint(32767, 300));

    // Nothing new: the same position.
    EXPECT_EQ(js.position(), QPoint(32767, 300));
}

TEST(LinuxJoystick, ARecordSplitAcrossReadsIsJoined)
{
    Pipe p;
    LinuxJoystick js(p.fds[0]);
    const js_event e = record(JS_EVENT_AXIS, 1, -777);
    const char* bytes = reinterpret_cast<const char*>(&e);
    ASSERT_EQ(::write(p.fds[1], bytes, 3), 3);
    EXPECT_EQ(js.position(), QPoint(0, 0));
    ASSERT_EQ(::write(p.fds[1], bytes + 3, sizeof e - 3), ssize_t(sizeof e - 3));
    EXPECT_EQ(js.position(), QPoint(0, -777));
}

TEST(LinuxJoystick, AnEndedStreamMeansNoJoystick)
{
    Pipe p;
    LinuxJoystick js(p.fds[0]);
    writeRecords(p.fds[1], {record(JS_EVENT_AXIS, 0, 42)});
    EXPECT_EQ(js.position(), QPoint(42, 0));
    p.closeWriter();
    EXPECT_EQ(js.position(), std::nullopt);
    EXPECT_EQ(js.position(), std::nullopt);
}

TEST(LinuxJoystick, AMissingDeviceIsLookedForAgainAtEachSample)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("js0"));
    LinuxJoystick js(path);
    EXPECT_EQ(js.position(), std::nullopt);
    EXPECT_EQ(js.position(), std::nullopt);

    // The device appears (a FIFO held open by the test stands for it).
    ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    const int writer = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(js.position(), QPoint(0, 0));
    writeRecords(writer, {record(JS_EVENT_AXIS | JS_EVENT_INIT, 0, 10), record(JS_EVENT_AXIS | JS_EVENT_INIT, 1, 20)});
    EXPECT_EQ(js.position(), QPoint(10, 20));

    // Unplugged: missing, and the position of the old one is forgotten.
    ::close(writer);
    EXPECT_EQ(js.position(), std::nullopt);
    ASSERT_EQ(::unlink(path.toLocal8Bit().constData()), 0);
    EXPECT_EQ(js.position(), std::nullopt);

    // Plugged in again.
    ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    const int again = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(again, 0);
    writeRecords(again, {record(JS_EVENT_AXIS | JS_EVENT_INIT, 1, -5)});
    EXPECT_EQ(js.position(), QPoint(0, -5));
    ::close(again);
}

TEST(LinuxJoystick, OnlyIdsZeroAndOneExist)
{
    Stillmark::LinuxJoysticks both;
    EXPECT_EQ(both.position(2), std::nullopt);
    EXPECT_EQ(both.position(-1), std::nullopt);
}

} // namespace
