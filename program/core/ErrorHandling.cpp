#include "program/core/ErrorHandling.h"

#include "platform/Guard.h"
#include "platform/Screen.h"
#include "program/core/GlobalMessage.h"
#include "program/core/dlgMessage.h"

#include <cstdio>

namespace ErrorHandling {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Report boxes being built or shown.
int g_reports = 0;

struct ReportCount {
    ReportCount() { ++g_reports; }
    ~ReportCount() { --g_reports; }
};

// What went to standard error last, and how many reports did.
QString g_lastWritten;
int g_written = 0;

// Unattended scopes standing now.
int g_unattended = 0;

// Where the report goes when the message box itself is what fails.
void toStderr(const QString& text)
{
    g_lastWritten = text;
    ++g_written;
    QString line = text;
    line.replace(kCrLf, QStringLiteral("\n"));
    std::fprintf(stderr, "PLX2: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

QString ErrorText(const QString& procName, int errNumber, const QString& description)
{
    QString text = QStringLiteral("Error Nr ") + QString::number(errNumber) + QStringLiteral(" : ") + description
        + kCrLf + kCrLf + QStringLiteral("Module : ");
    const qsizetype dot = procName.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return text + procName;
    const qsizetype underscore = procName.indexOf(QLatin1Char('_'), dot + 1);
    text += procName.left(dot) + kCrLf;
    if (underscore < 0)
        return text + QStringLiteral("Function : ") + procName.mid(dot + 1);
    return text + QStringLiteral("Object : ") + procName.mid(dot + 1, underscore - dot - 1) + kCrLf
        + QStringLiteral("Event : ") + procName.mid(underscore + 1);
}

void ShowError(const QString& procName, const plat::RtError& error)
{
    // An hourglass left by the failing procedure must not stay.
    plat::Screen::setMousePointer(plat::Screen::vbDefault);
    const QString text = ErrorText(procName, error.number(), error.description());
    // A report box whose own code fails would report again, and again.
    if (g_reports > 0 && MessageBoxCode::running()) {
        toStderr(text);
        return;
    }
    ReportCount counting;
    MessageBoxCode::Outside fresh;
    const int writtenBefore = g_written;
    // An OK-only box answers Cancel only when none could be shown (nobody is
    // there to answer it any more, or the box itself failed): the report
    // must not be lost then. A box that failed has already written this same
    // text when it was the report of its own failure.
    if (Global::Message(text, MsgStyle::vbCritical) == MsgResult::vbCancel
        && !(g_written != writtenBefore && g_lastWritten == text))
        toStderr(text);
}

void ShowError(const QString& procName, int errNumber)
{
    ShowError(procName, plat::rtError(errNumber));
}

Unattended::Unattended(bool on) : m_on(on)
{
    if (m_on)
        ++g_unattended;
}

Unattended::~Unattended()
{
    if (m_on)
        --g_unattended;
}

bool Unattended::active()
{
    return g_unattended > 0;
}

Unattended::Suspend::Suspend() : m_saved(g_unattended)
{
    g_unattended = 0;
}

Unattended::Suspend::~Suspend()
{
    g_unattended = m_saved;
}

void Install()
{
    plat::setErrorReporter([](const QString& name, const plat::RtError& error) { ShowError(name, error); });
}

} // namespace ErrorHandling
