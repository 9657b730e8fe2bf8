#pragma once
// The executable and its database copied into a folder of their own, which
// becomes their program folder when they run from there, and a
// pseudo-terminal for the bus line; the test says what port 1 is.

#include "tests/e2e/E2eSupport.h"
#include "tests/harness/TestSupport.h"
#include "tests/support/ProgramGlobals.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace e2e {

class ExecutableFolder : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        // A build without the program is no pass.
        ASSERT_TRUE(QFile::exists(testing_support::binFolder() + QStringLiteral("/PLX2"))) << "PLX2 is not built";
        m_folder = testing_support::programFolder() + QStringLiteral("/panel");
        ASSERT_TRUE(makeProgramFolder(m_folder));
        ASSERT_FALSE(m_line.device().isEmpty());
    }

    // Port 1 of the program (INI "Ports") is that device.
    void portOne(const QString& device)
    {
        ASSERT_TRUE(appendIniSection(m_folder + QStringLiteral("/PLX2.ini"), QStringLiteral("Ports"),
                                     {QStringLiteral("COM1=") + device}));
    }

    QString m_folder;
    Pty m_line;
};

} // namespace e2e
