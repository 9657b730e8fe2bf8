#pragma once
// Helpers shared by every test program.

#include <QString>

class QWidget;

namespace testing_support {

// The fresh temporary program folder of the running test.
QString programFolder();

// The folder of the build's program files (PLX2, the libraries, PLX2.cfg).
QString binFolder();
// The source tree (for golden files under tests/).
QString sourceFolder();

// Renders a widget (shown or not) to <build>/screenshots/<name>.png and
// returns the file's path, so that a person can look at the screen.
QString renderToPng(QWidget* widget, const QString& name);

} // namespace testing_support
