// Main of every test program: the offscreen platform (or the one named by
// PLX_TEST_PLATFORM), fixed regional settings, an empty form registry and a
// fresh temporary program folder for each test, so that no test writes beside
// the binaries or sees another test's files or forms, and what a test leaves
// waiting fails it (Leftovers.h). The build's component libraries are
// registered in a registry store of the test tree, shared by every test
// program, so that program code can create their classes.

#include "platform/AppIdentity.h"
#include "platform/Forms.h"
#include "platform/Regional.h"
#include "platform/Theme.h"
#include "tests/harness/Leftovers.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>
#include <memory>

namespace {

const char* const kRegistryFile = PLX_TESTS_DIR "/Registry.ini";

// Registers the libraries of the build's program folder. The store is only
// rewritten when something changed, and test programs running side by side
// serialise on its lock, so this is cheap and safe at every start.
void registerBuiltLibraries()
{
    for (const char* name : {"libVexLib22.so", "libStillmark.so"}) {
        const QByteArray file = QByteArray(PLX_BIN_DIR) + '/' + name;
        if (!QFile::exists(QString::fromLocal8Bit(file)))
            continue;  // not built for this test program
        void* handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "test harness: %s\n", ::dlerror());
            continue;
        }
        auto reg = reinterpret_cast<int32_t (*)()>(::dlsym(handle, "DllRegisterServer"));
        if (!reg || reg() != 0)
            std::fprintf(stderr, "test harness: cannot register %s in %s\n", file.constData(), kRegistryFile);
    }
}

class FreshProgramFolder : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        qputenv("PLX_REGISTRY_FILE", kRegistryFile);  // back to the shared store, whatever the last test did
        m_dir = std::make_unique<QTemporaryDir>();
        plat::AppIdentity::setProgramFolder(m_dir->path());
        plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
        plat::Regional::reset();
        plat::Forms::clearRegistrations();
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
    // The few tests that need a window system with stacking run on a virtual
    // X display of their own (on-virtual-display); every other one offscreen.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsSet("PLX_TEST_PLATFORM") ? qgetenv("PLX_TEST_PLATFORM") : "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("PLX_REGISTRY_FILE", kRegistryFile);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Screens are tested and rendered in the program's own look.
    plat::Theme::apply(app);
    plat::Regional::reset();
    registerBuiltLibraries();
    testing::UnitTest::GetInstance()->listeners().Append(new FreshProgramFolder);
    testing::UnitTest::GetInstance()->listeners().Append(new testing_support::Leftovers);
    return RUN_ALL_TESTS();
}
