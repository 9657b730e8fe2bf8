#pragma once
// Helpers shared by every test program.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
namespace plat {
class Form;
}

namespace testing_support {

// The fresh temporary program folder of the running test.
QString programFolder();

// The folder of the build's program files (PLX2, the libraries, PLX2.cfg).
QString binFolder();
// The source tree (for golden files under tests/).
QString sourceFolder();

// The CR LF lines of a Windows-1252 text file (a trace log), without the
// empty text after the last line end; none when the file cannot be read.
QStringList fileLines(const QString& path);

// The number of the run-time error that fn raises; 0 when it raises none.
int errorOf(const std::function<void()>& fn);

// Renders a widget (shown or not) to <build>/screenshots/<name>.png and
// returns the file's path, so that a person can look at the screen.
QString renderToPng(QWidget* widget, const QString& name);

// The names of the visible forms, in load order.
QStringList visibleForms();

// Runs act on the first visible form of that name, from the message loop (so
// also inside the modal loop that shows it); after timeoutMs it gives up, so
// that a form that never comes, or a box nobody answers, fails the test
// instead of hanging it: a modal form still open then is unloaded. The flag
// tells whether act ran.
std::shared_ptr<bool> whenShown(const QString& formName, std::function<void(plat::Form*)> act, int timeoutMs = 5000);

} // namespace testing_support
