// The program creates the detector by class identifier, through the registry
// store and the library file's entry point, and hears its events.

#include "Stillmark/_ActivityDetect.h"
#include "program/core/Components.h"
#include "tests/inactivity/FakeSources.h"

#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace Stillmark;
using stillmark_test::RecordingSink;

namespace {

// The file that holds the code of an object (its first virtual table).
QString fileOfObject(const void* object)
{
    Dl_info info{};
    if (!dladdr(*static_cast<void* const*>(object), &info) || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).fileName();
}

TEST(ProgramCreatesActivityDetect, ByClassIdentifierFromTheLibrary)
{
    auto detector = Components::CreateObject<_ActivityDetect>(CLSID_ActivityDetect, IID_ActivityDetect);
    ASSERT_TRUE(detector);
    EXPECT_TRUE(fileOfObject(detector.get()).startsWith(QStringLiteral("libStillmark.so")))
        << fileOfObject(detector.get()).toStdString();

    // As the polling engine sets it up, with a short interval: N = 1 never
    // sees the cursor move and a window of 0 s never sees a key.
    auto sink = plat::ComPtr<RecordingSink>::attach(new RecordingSink);
    const uint32_t cookie = detector->Advise(sink.get());
    detector->setSamplingInterval(20);
    detector->setN(1);
    detector->setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink->userIsNotHere >= 2 && sink->timer >= 2; }, 3000));
    EXPECT_TRUE(detector->IsUserSleep());

    // Errors cross the boundary as run-time errors.
    try {
        detector->setN(0);
        ADD_FAILURE() << "no error";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::SubscriptOutOfRange);
        EXPECT_EQ(e.source(), QStringLiteral("Stillmark"));
    }

    detector->setEnabled(false);
    detector->Unadvise(cookie);
    EXPECT_EQ(sink->refs(), 1u);
}

TEST(ProgramCreatesActivityDetect, AnUnregisteredClassIsError429)
{
    try {
        Components::CreateObject<_ActivityDetect>(IID___ActivityDetect, IID_ActivityDetect);
        FAIL() << "created";
    } catch (const plat::RtError& e) {
        EXPECT_EQ(e.number(), plat::rt::CannotCreateObject);
    }
}

} // namespace
