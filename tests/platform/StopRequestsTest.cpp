// Stop requests from outside reach the message loop as one call each, with
// their cause.

#include "platform/StopRequests.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using plat::StopRequests::Cause;

TEST(StopRequests, ASignalReachesTheLoopAsItsCause)
{
    std::vector<Cause> causes;
    plat::StopRequests::watch([&](Cause cause) { causes.push_back(cause); });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_TRUE(causes.empty()) << "nothing runs inside the signal handler";
    EXPECT_TRUE(QTest::qWaitFor([&] { return causes.size() >= 2; }, 2000));
    EXPECT_EQ(causes, (std::vector<Cause>{Cause::Terminate, Cause::Interrupt}));
    // Without a handler the signals take their default action again; none
    // is raised here.
    plat::StopRequests::watch({});
    struct sigaction now {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(StopRequests, ARequestIsSeenWithoutTheLoopAndStillReachesIt)
{
    std::vector<Cause> causes;
    plat::StopRequests::watch([&](Cause cause) { causes.push_back(cause); });
    EXPECT_FALSE(plat::StopRequests::pending());
    ::raise(SIGTERM);
    EXPECT_TRUE(plat::StopRequests::pending());
    EXPECT_TRUE(plat::StopRequests::pending()) << "looking does not take it";
    EXPECT_TRUE(causes.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !causes.empty(); }, 2000));
    EXPECT_EQ(causes, std::vector<Cause>{Cause::Terminate});
    EXPECT_FALSE(plat::StopRequests::pending()) << "taken by the loop";
    plat::StopRequests::watch({});
}
