// Main of every test program: the offscreen platform, fixed regional settings
// and a fresh temporary program folder for each test, so that no test writes
// beside the binaries or sees another test's files.

#include "platform/AppIdentity.h"
#include "platform/Regional.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class FreshProgramFolder : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_dir = std::make_unique<QTemporaryDir>();
        plat::AppIdentity::setProgramFolder(m_dir->path());
        plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
        plat::Regional::reset();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        m_dir.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    plat::Regional::reset();
    testing::UnitTest::GetInstance()->listeners().Append(new FreshProgramFolder);
    return RUN_ALL_TESTS();
}
