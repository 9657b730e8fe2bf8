#include "library/WinPlace.h"

#include "library/IniParam.h"
#include "library/LibErrors.h"

#include "platform/ComponentClasses.h"
#include "platform/Screen.h"
#include "platform/Values.h"

#include <QGuiApplication>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <exception>

namespace VexLib22 {

COMPONENT_CLASS(WinPlace, _WinPlace, CLSID_WinPlace, IID_WinPlace);

namespace {

constexpr int kTwips = 15;
constexpr int kSizable = 2;     // BorderStyle of a resizable form
constexpr int kMaximized = 2;   // WindowState

// Window placement show states.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_FORCEMINIMIZE = 11;
constexpr int WPF_RESTORETOMAXIMIZED = 2;

// Placement keys in the order they are written, with their defaults on reading.
struct PlacementKey {
    const char* key;
    int fallback;
};
constexpr PlacementKey kPlacement[] = {
    {"Flags", -1}, {"ShowCmd", 1}, {"MinX", 150}, {"MinY", 500}, {"MaxX", -4},
    {"MaxY", -4}, {"NormG", 20}, {"NormH", 20}, {"NormD", 500}, {"NormB", 400},
};
enum { kFlags, kShowCmd, kMinX, kMinY, kMaxX, kMaxY, kNormG, kNormH, kNormD, kNormB, kPlacementCount };

QWidget* form(QObject* f)
{
    CheckFormArg(f);
    return qobject_cast<QWidget*>(f);
}

// The form's properties in twips, as the forms of the platform layer give them.
int Left(const QWidget* w) { return w->x() * kTwips; }
int Top(const QWidget* w) { return w->y() * kTwips; }
int Width(const QWidget* w) { return w->width() * kTwips; }
int Height(const QWidget* w) { return w->height() * kTwips; }
int px(double twips) { return int(twips / kTwips); }

bool isMaximized(const QWidget* w) { return w->windowState() & Qt::WindowMaximized; }
int borderStyle(const QWidget* w)
{
    const QVariant v = w->property("BorderStyle");
    return v.isValid() ? v.toInt() : kSizable;
}

// A maximised or minimised form cannot be moved or sized.
void Move(QWidget* w, double left, double top)
{
    if (w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        throw plat::RtError(384, QStringLiteral("A form can't be moved or sized while minimized or maximized"), kTitle);
    w->move(px(left), px(top));
}
void Move(QWidget* w, double left, double top, double width, double height)
{
    Move(w, left, top);
    if (width < 0 || height < 0)
        plat::raise(plat::rt::InvalidPropertyValue, kTitle);
    w->resize(px(width), px(height));
}

// How far the frame reaches beyond the client area on each side, in pixels.
QMargins frameMargins(const QWidget* w)
{
    const QRect g = w->geometry(), f = w->frameGeometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

// "True"/"False" as the run-time reads a text as a Boolean; anything else raises 13.
bool textToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return plat::CDbl(t) != 0.0;
}

// Changes the topmost marker of a window without hiding it: changing the
// widget's flags would re-create a visible window (and end a modal loop).
void setStaysOnTop(QWidget* w, bool on)
{
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const Qt::WindowFlags flags = w->windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow* window = w->windowHandle()) {
        w->overrideWindowFlags(flags);
        window->setFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    // No window yet (so not visible): the flag is taken when the window is made.
    const QRect geometry = w->geometry();
    w->setWindowFlags(flags);
    w->setGeometry(geometry);
}

} // namespace

_IniParam& WinPlace::ini()
{
    if (!m_ini)
        m_ini = plat::ComPtr<_IniParam>::attach(new IniParam);
    return *m_ini;
}

void WinPlace::RestoreWindow(QObject* f, const QString& sIniFileName)
{
    QWidget* w = form(f);
    const QString section = w->objectName();
    int32_t v[kPlacementCount];
    for (int i = 0; i < kPlacementCount; ++i) {
        const QString text = ini().GetPrivateParam(section, QLatin1String(kPlacement[i].key),
                                                   QString::number(kPlacement[i].fallback), sIniFileName);
        v[i] = plat::CLng(plat::CDbl(text));
    }
    if (v[kFlags] == -1)
        return;   // nothing stored

    // The normal rectangle is the window's outer rectangle in pixels.
    const QMargins m = frameMargins(w);
    const QRect outer(QPoint(v[kNormG], v[kNormH]), QPoint(v[kNormD] - 1, v[kNormB] - 1));
    w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    w->setGeometry(outer.marginsRemoved(m));

    // As the system's placement call does, the show state also shows or hides the window.
    switch (v[kShowCmd]) {
    case SW_HIDE:
        w->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        w->setWindowState((v[kFlags] & WPF_RESTORETOMAXIMIZED ? Qt::WindowMaximized : Qt::WindowNoState)
                          | Qt::WindowMinimized);
        w->show();
        break;
    case SW_SHOWMAXIMIZED:
        w->setWindowState(Qt::WindowMaximized);
        w->show();
        break;
    default:
        w->show();
        break;
    }
}

void WinPlace::SaveWindow(QObject* f, const QString& sIniFileName)
{
    QWidget* w = form(f);
    const Qt::WindowStates state = w->windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;

    // The rectangle the window has, or returns to, in the normal state, frame included.
    QRect normal = w->geometry();
    if ((state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) && w->normalGeometry().isValid())
        normal = w->normalGeometry();
    normal = normal.marginsAdded(frameMargins(w));

    int32_t v[kPlacementCount];
    v[kFlags] = minimized && maximized ? WPF_RESTORETOMAXIMIZED : 0;
    v[kShowCmd] = minimized ? SW_SHOWMINIMIZED : maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    // Where the window manager puts a minimised or maximised window is not known here.
    v[kMinX] = v[kMinY] = v[kMaxX] = v[kMaxY] = -1;
    v[kNormG] = normal.left();
    v[kNormH] = normal.top();
    v[kNormD] = normal.left() + normal.width();
    v[kNormB] = normal.top() + normal.height();

    const QString section = w->objectName();
    for (int i = 0; i < kPlacementCount; ++i)
        ini().SetPrivateParam(section, QLatin1String(kPlacement[i].key), QString::number(v[i]), sIniFileName);
}

void WinPlace::RestorePos(QObject* f, const QString& sIniFileName)
{
    QWidget* w = form(f);
    const QString section = w->objectName();
    // Each step that fails is skipped; the next one is still tried.
    auto step = [](auto&& fn) {
        try {
            fn();
        } catch (const std::exception&) {
        }
    };

    QString x, y;
    step([&] { x = ini().GetPrivateParam(section, QStringLiteral("X"), QString(), sIniFileName); });
    step([&] { y = ini().GetPrivateParam(section, QStringLiteral("Y"), QString(), sIniFileName); });
    if (!plat::IsNumeric(x) || !plat::IsNumeric(y)) {
        step([&] {
            Move(w, plat::Screen::WidthTwips() / 2.0 - Width(w) / 2.0,
                 plat::Screen::HeightTwips() / 2.0 - Height(w) / 2.0);
        });
    } else {
        const double left = plat::CDbl(x), top = plat::CDbl(y);
        step([&] { Move(w, left, top); });
        if (borderStyle(w) == kSizable) {
            step([&] {
                const QString h = ini().GetPrivateParam(section, QStringLiteral("H"), QString(), sIniFileName);
                const QString l = ini().GetPrivateParam(section, QStringLiteral("L"), QString(), sIniFileName);
                if (plat::IsNumeric(h) && plat::IsNumeric(l))
                    Move(w, left, top, plat::CDbl(l), plat::CDbl(h));
            });
        }
    }
    step([&] {
        if (textToBool(ini().GetPrivateParam(section, QStringLiteral("Max"), QStringLiteral("False"), sIniFileName)))
            w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    });
}

void WinPlace::StorePos(QObject* f, const QString& sIniFileName)
{
    QWidget* w = form(f);
    const QString section = w->objectName();
    const bool maximized = isMaximized(w);
    // A maximised form keeps the coordinates it had before.
    if (!maximized) {
        ini().SetPrivateParam(section, QStringLiteral("X"), QString::number(Left(w)), sIniFileName);
        ini().SetPrivateParam(section, QStringLiteral("Y"), QString::number(Top(w)), sIniFileName);
        ini().SetPrivateParam(section, QStringLiteral("H"), QString::number(Height(w)), sIniFileName);
        ini().SetPrivateParam(section, QStringLiteral("L"), QString::number(Width(w)), sIniFileName);
    }
    ini().SetPrivateParam(section, QStringLiteral("Max"), maximized ? QStringLiteral("True") : QStringLiteral("False"),
                          sIniFileName);
}

void WinPlace::CentrerEcran(QObject* f)
{
    QWidget* w = form(f);
    Move(w, Left(w), (plat::Screen::HeightTwips() - Height(w)) / 2.0);
    Move(w, (plat::Screen::WidthTwips() - Width(w)) / 2.0, Top(w));
}

void WinPlace::SetToTopmost(QObject* f)
{
    setStaysOnTop(form(f), true);
}

void WinPlace::SetToNotTopmost(QObject* f)
{
    setStaysOnTop(form(f), false);
}

int32_t WinPlace::AppActivateEx(const QString& AppCaption, bool Exact)
{
    if (AppCaption.isEmpty())
        return 0;
    // Only this program's own windows can be reached; hidden ones cannot come to the front.
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible())
            continue;
        const QString text = window->title();
        if (text.isEmpty())
            continue;
        const bool match = Exact ? text.compare(AppCaption, Qt::CaseInsensitive) == 0
                                 : text.startsWith(AppCaption, Qt::CaseInsensitive);
        if (!match)
            continue;
        window->raise();
        window->requestActivate();
        return int32_t(window->winId());
    }
    return 0;
}

} // namespace VexLib22
