// The command-line simulator over a pseudo-terminal, spoken to with raw
// frames whose CRC the test computes itself.

#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray withCrc(std::initializer_list<int> body)
{
    QByteArray f;
    for (int b : body)
        f.append(char(b));
    unsigned crc = 0xFFFF;
    for (char c : f) {
        crc ^= static_cast<unsigned char>(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    f.append(char(crc & 0xFF));
    f.append(char(crc >> 8));
    return f;
}

class Line {
public:
    explicit Line(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios t{};
            tcgetattr(m_fd, &t);
            cfmakeraw(&t);
            tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    // Writes a request and collects the reply until it has `expected` bytes or the time runs out.
    QByteArray transact(const QByteArray& request, int expected, int timeoutMs = 1500)
    {
        tcflush(m_fd, TCIFLUSH);
        if (::write(m_fd, request.constData(), size_t(request.size())) != request.size())
            return {};
        QByteArray in;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (in.size() < expected && std::chrono::steady_clock::now() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buf[300];
                const ssize_t n = ::read(m_fd, buf, sizeof(buf));
                if (n > 0)
                    in.append(buf, int(n));
            }
        }
        return in;
    }

private:
    int m_fd = -1;
};

} // namespace

TEST(ModsimProgram, ServesRawFramesOnItsPseudoTerminalLink)
{
    const QString program = testing_support::binFolder() + QStringLiteral("/modsim");
    ASSERT_TRUE(QFileInfo::exists(program)) << program.toStdString();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyBUS"));
    const QString script = dir.filePath(QStringLiteral("actions.txt"));
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0 event 1 3 1 0\n0 fault 2 exception 2\n");
    }

    QProcess sim;
    sim.start(program, {QStringLiteral("--link"), link, QStringLiteral("--modules"), QStringLiteral("1:1,2:4"),
                        QStringLiteral("--script"), script, QStringLiteral("-v")});
    ASSERT_TRUE(sim.waitForStarted(5000));
    for (int i = 0; i < 250 && !QFileInfo(link).exists(); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo(link).isSymLink());

    {
        Line line(link);
        ASSERT_TRUE(line.isOpen());
        // Module 1's type: 01 03 02 00 01 79 84.
        EXPECT_EQ(line.transact(withCrc({0x01, 0x03, 0x00, 0x84, 0x00, 0x01}), 7), withCrc({0x01, 0x03, 0x02, 0x00, 0x01}));
        // The script's event shows in the count register once the script has run.
        QByteArray count;
        for (int i = 0; i < 50 && count != withCrc({0x01, 0x03, 0x02, 0x00, 0x01}); ++i) {
            count = line.transact(withCrc({0x01, 0x03, 0x00, 0x90, 0x00, 0x01}), 7);
            QThread::msleep(20);
        }
        EXPECT_EQ(count, withCrc({0x01, 0x03, 0x02, 0x00, 0x01}));
        // Channel 3, param 0, code 1; the low nibble and second word are the module clock.
        const QByteArray entry = line.transact(withCrc({0x01, 0x03, 0x00, 0x92, 0x00, 0x02}), 9);
        ASSERT_EQ(entry.size(), 9);
        EXPECT_EQ(entry.left(4), QByteArray::fromHex("01030430"));
        EXPECT_EQ(entry[4] & 0xF0, 0x10);
        // Module 2 was given the exception fault with code 2.
        EXPECT_EQ(line.transact(withCrc({0x02, 0x03, 0x00, 0x01, 0x00, 0x0C}), 5), withCrc({0x02, 0x83, 0x02}));
        // A broadcast is never answered.
        EXPECT_TRUE(line.transact(withCrc({0x00, 0x06, 0x01, 0x21, 0x00, 0x00}), 1, 200).isEmpty());
        // The acknowledgement is echoed and drops the event.
        const QByteArray ack = withCrc({0x01, 0x06, 0x01, 0x20, 0x00, 0x01});
        EXPECT_EQ(line.transact(ack, 8), ack);
        EXPECT_EQ(line.transact(withCrc({0x01, 0x03, 0x00, 0x90, 0x00, 0x01}), 7), withCrc({0x01, 0x03, 0x02, 0x00, 0x00}));
    }
    // The panel closing its port does not hang up the line.
    {
        Line again(link);
        ASSERT_TRUE(again.isOpen());
        EXPECT_EQ(again.transact(withCrc({0x01, 0x03, 0x00, 0x84, 0x00, 0x01}), 7), withCrc({0x01, 0x03, 0x02, 0x00, 0x01}));
    }

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    const QString log = QString::fromLocal8Bit(sim.readAllStandardError());
    EXPECT_TRUE(log.contains(QStringLiteral("01 03 00 84 00 01 C4 23"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("broadcast")));
}

TEST(ModsimProgram, RefusesBadArguments)
{
    const QString program = testing_support::binFolder() + QStringLiteral("/modsim");
    QTemporaryDir dir;
    const QStringList bad[] = {
        {},
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("a")), QStringLiteral("--modules"), QStringLiteral("65:1")},
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("a")), QStringLiteral("--modules"), QStringLiteral("1:6")},
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("a")), QStringLiteral("--modules"), QStringLiteral("3:1,3:4")},
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("a")), QStringLiteral("--baud"), QStringLiteral("fast")},
        {QStringLiteral("--link"), dir.filePath(QStringLiteral("a")), QStringLiteral("--script"), dir.filePath(QStringLiteral("none"))},
    };
    for (const QStringList& args : bad) {
        QProcess p;
        p.start(program, args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
    }
    // A link path that is a plain file is left alone.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QProcess p;
    p.start(program, {QStringLiteral("--link"), plain});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QFileInfo(plain).isFile());
}
