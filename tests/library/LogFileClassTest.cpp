#include "library/LogFileClass.h"

#include "platform/Component.h"
#include "platform/RtError.h"
#include "tests/harness/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace VexLib22;

namespace {

class LogFileClassTest : public testing::Test {
protected:
    void SetUp() override { m_log = plat::ComPtr<_LogFileClass>::attach(new LogFileClass); }

    QString path(const QString& name = QStringLiteral("Trace/20240101.log")) const
    {
        return testing_support::programFolder() + '/' + name;
    }
    QByteArray contents(const QString& file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void makeTraceFolder() const { ASSERT_TRUE(QDir().mkpath(path("Trace"))); }

    // Runs f and returns the number of the run-time error it raised (0: none).
    template <class F>
    int errorOf(F f, plat::RtError* out = nullptr)
    {
        try {
            f();
        } catch (const plat::RtError& e) {
            if (out)
                *out = e;
            return e.number();
        }
        return 0;
    }

    plat::ComPtr<_LogFileClass> m_log;
};

} // namespace

TEST_F(LogFileClassTest, StartsClosed)
{
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeNone);
    EXPECT_EQ(m_log->LogPath(), "");
    EXPECT_FALSE(m_log->NoRaiseError());
    EXPECT_EQ(errorOf([&] { m_log->Comment("nothing"); m_log->FlushFile(); m_log->CloseFile(); }), 0);
}

TEST_F(LogFileClassTest, WritesCrLfLinesInWindows1252)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileAppend);
    EXPECT_EQ(m_log->LogPath(), path());
    m_log->Comment(QString::fromUtf8("Démarrage 100 €"));
    m_log->Comment();
    m_log->Comment("end");
    EXPECT_EQ(contents(path()), QByteArray("D\xE9marrage 100 \x80\r\n\r\nend\r\n"));
}

TEST_F(LogFileClassTest, AppendKeepsAndNewEmptiesTheFile)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    m_log->Comment("one");
    m_log->OpenFile(path(), eLogModeFileAppend);  // closes, then appends
    m_log->Comment("two");
    EXPECT_EQ(contents(path()), QByteArray("one\r\ntwo\r\n"));

    m_log->OpenFile(path(), eLogModeFileNew);
    m_log->Comment("three");
    EXPECT_EQ(contents(path()), QByteArray("three\r\n"));

    // No arguments: the stored path, as a new file.
    m_log->OpenFile();
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileNew);
    EXPECT_EQ(contents(path()), QByteArray(""));
}

TEST_F(LogFileClassTest, ModeOneAndUnknownModesOpenNothing)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    m_log->Comment("kept");

    m_log->OpenFile(path("other.log"), eLogModeDebug);
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeDebug);
    EXPECT_EQ(errorOf([&] { m_log->Comment("silent"); }), 0);
    EXPECT_FALSE(QFile::exists(path("other.log")));
    EXPECT_EQ(m_log->LogPath(), path());  // stored only after a successful open

    m_log->OpenFile(path(), static_cast<LogModeConstants>(7));
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeNone);
    m_log->Comment("silent too");
    EXPECT_EQ(contents(path()), QByteArray("kept\r\n"));
}

TEST_F(LogFileClassTest, OpenFailuresRaiseTheRunTimeErrors)
{
    makeTraceFolder();
    struct Case { const char* name; QString file; int number; const char* text; };
    const Case cases[] = {
        {"missing folder", path("NoSuchFolder/x.log"), 76, "Path not found"},
        {"a folder", path("Trace"), 75, "Path/File access error"},
    };
    for (const Case& c : cases) {
        m_log->setNoRaiseError(false);
        m_log->OpenFile(path(), eLogModeFileAppend);
        plat::RtError e(0, {});
        EXPECT_EQ(errorOf([&] { m_log->OpenFile(c.file, eLogModeFileAppend); }, &e), c.number) << c.name;
        EXPECT_EQ(e.description(), c.text) << c.name;
        EXPECT_EQ(e.source(), "VexLib22") << c.name;
        EXPECT_FALSE(m_log->Opened()) << c.name;
        EXPECT_EQ(m_log->Mode(), eLogModeNone) << c.name;
        EXPECT_EQ(m_log->LogPath(), path()) << c.name;

        // Swallowed with NoRaiseError; the object stays closed and writes nothing.
        m_log->setNoRaiseError(true);
        EXPECT_EQ(errorOf([&] { m_log->OpenFile(c.file, eLogModeFileNew); m_log->Comment("lost"); }), 0) << c.name;
        EXPECT_FALSE(m_log->Opened()) << c.name;
        EXPECT_EQ(m_log->Mode(), eLogModeNone) << c.name;
    }
    EXPECT_EQ(contents(path()), QByteArray(""));
    EXPECT_FALSE(QFile::exists(path("NoSuchFolder/x.log")));
}

TEST_F(LogFileClassTest, FlushKeepsTheModeAndGoesOnAtTheEnd)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileNew);
    m_log->Comment("a");
    m_log->FlushFile();
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileNew);
    m_log->Comment("b");
    m_log->FlushFile();
    EXPECT_EQ(contents(path()), QByteArray("a\r\nb\r\n"));

    m_log->CloseFile();
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeNone);
    EXPECT_EQ(m_log->LogPath(), path());
    m_log->FlushFile();  // closed: nothing happens
    EXPECT_FALSE(m_log->Opened());
}

TEST_F(LogFileClassTest, AnotherProcessCopyingTheFileSeesEveryFlushedLine)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    QByteArray expected;
    for (int i = 1; i <= 5; ++i) {
        const QByteArray line = "10:00:0" + QByteArray::number(i) + " event " + QByteArray::number(i);
        m_log->Comment(QString::fromLatin1(line));
        m_log->FlushFile();
        expected += line + "\r\n";
        const QString copy = path(QString("copy%1.log").arg(i));
        ASSERT_EQ(QProcess::execute("cp", {path(), copy}), 0);
        EXPECT_EQ(contents(copy), expected) << i;
    }
}

TEST_F(LogFileClassTest, AFailedReopenClosesTheLogAndRaisesOnce)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    m_log->Comment("before");
    // The trace folder disappears (a removed stick, a cleaning script).
    ASSERT_TRUE(QDir(path("Trace")).removeRecursively());

    plat::RtError e(0, {});
    EXPECT_EQ(errorOf([&] { m_log->FlushFile(); }, &e), 76);
    EXPECT_EQ(e.source(), "VexLib22");
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeNone);
    EXPECT_EQ(m_log->LogPath(), path());

    // Every later event traces and flushes: no more errors.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(errorOf([&] { m_log->Comment("lost"); m_log->FlushFile(); }), 0);
    EXPECT_FALSE(m_log->Opened());

    // Once the folder is back, the next line opens the log again and is written.
    makeTraceFolder();
    EXPECT_EQ(errorOf([&] { m_log->Comment("after"); }), 0);
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileAppend);
    m_log->FlushFile();
    m_log->Comment("and on");
    EXPECT_EQ(contents(path()), QByteArray("after\r\nand on\r\n"));
    // A new failure after the recovery is a new report.
    ASSERT_TRUE(QDir(path("Trace")).removeRecursively());
    EXPECT_EQ(errorOf([&] { m_log->FlushFile(); }), 76);
}

TEST_F(LogFileClassTest, ALogClosedByAFailedReopenOpensAgain)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    ASSERT_TRUE(QDir(path("Trace")).removeRecursively());
    EXPECT_EQ(errorOf([&] { m_log->FlushFile(); }), 76);
    // The midnight reopen reports a folder that is still missing...
    EXPECT_EQ(errorOf([&] { m_log->CloseFile(); m_log->OpenFile(path(), eLogModeFileAppend); }), 76);
    // ...and opens the log once it can.
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    EXPECT_TRUE(m_log->Opened());
    m_log->Comment("next day");
    EXPECT_EQ(contents(path()), QByteArray("next day\r\n"));
}

TEST_F(LogFileClassTest, AWriteErrorRaisesOnceUnlessSwallowed)
{
    // Every write to /dev/full fails with a full disk.
    m_log->OpenFile("/dev/full", eLogModeFileAppend);
    ASSERT_TRUE(m_log->Opened());
    plat::RtError e(0, {});
    EXPECT_EQ(errorOf([&] { m_log->Comment("x"); }, &e), 61);
    EXPECT_EQ(e.description(), "Disk full");
    EXPECT_FALSE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeNone);
    EXPECT_EQ(errorOf([&] { m_log->Comment("y"); m_log->FlushFile(); m_log->Comment("z"); }), 0);

    m_log->setNoRaiseError(true);
    m_log->OpenFile("/dev/full", eLogModeFileAppend);
    EXPECT_EQ(errorOf([&] { m_log->Comment("x"); }), 0);
    EXPECT_TRUE(m_log->Opened());
}

TEST_F(LogFileClassTest, AfterAFailedWriteTheNextLinesTryAgain)
{
    // The log's name leads to a full disk for a while.
    makeTraceFolder();
    ASSERT_TRUE(QFile::link("/dev/full", path()));
    m_log->OpenFile(path(), eLogModeFileAppend);
    ASSERT_TRUE(m_log->Opened());
    EXPECT_EQ(errorOf([&] { m_log->Comment("first lost"); }), 61);
    EXPECT_EQ(errorOf([&] { m_log->Comment("second lost"); m_log->FlushFile(); m_log->Comment("third lost"); }), 0);

    // Room again: the next line is written, and so is every line after it.
    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_EQ(errorOf([&] { m_log->Comment("back"); }), 0);
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileAppend);
    m_log->FlushFile();
    m_log->Comment("on");
    EXPECT_EQ(contents(path()), QByteArray("back\r\non\r\n"));
}

TEST_F(LogFileClassTest, RewindStartsTheLogAgainEmpty)
{
    makeTraceFolder();
    m_log->OpenFile(path(), eLogModeFileAppend);
    m_log->Comment("old");
    m_log->Rewind();
    EXPECT_TRUE(m_log->Opened());
    EXPECT_EQ(m_log->Mode(), eLogModeFileAppend);
    EXPECT_EQ(contents(path()), QByteArray(""));
    m_log->Comment("new");
    EXPECT_EQ(contents(path()), QByteArray("new\r\n"));

    // Closed: the file goes, nothing is opened.
    m_log->CloseFile();
    m_log->Rewind();
    EXPECT_FALSE(m_log->Opened());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(LogFileClassTest, ReleaseClosesTheFile)
{
    makeTraceFolder();
    const auto openFiles = [] { return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(); };
    const auto before = openFiles();
    m_log->OpenFile(path(), eLogModeFileAppend);
    EXPECT_EQ(openFiles(), before + 1);
    m_log->Comment("last");
    m_log.reset();
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(contents(path()), QByteArray("last\r\n"));
}
