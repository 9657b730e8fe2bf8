#pragma once
// The fixture of every test that changes the program's globals: whatever the
// test installs or opens (the configuration in use and the database, the
// error reporter, the trace log, the caption source, the plain critical box,
// the end of a run, the user, the prefix letters, the seams of the dispatch
// and of the engine, the engine's port factory, the printer factory, the bus
// clock, the sound player) is put back as the test found it once the test and
// its own fixture are done. TearDown
// unloads every form first, while what the forms use still exists: a fixture
// with a TearDown of its own calls ProgramGlobals::TearDown() at its end.

#include "platform/Guard.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"

#include <gtest/gtest.h>

namespace testing_support {

class ProgramGlobals : public ::testing::Test {
protected:
    ProgramGlobals();
    ~ProgramGlobals() override;
    void TearDown() override;

private:
    plat::ErrorReporter m_reporter;
    Dispatch::Seams m_dispatchSeams;
    PollingSeams m_pollingSeams;
};

} // namespace testing_support
