#include "tools/screens/OverlapCheck.h"

#include "platform/Captions.h"
#include "platform/ScreenParts.h"

#include <QFrame>
#include <QGroupBox>
#include <QWidget>

namespace OverlapCheck {

namespace {

// Widgets that only hold controls; the children of any other widget are
// its own inner parts (a grid's scroll bars, a box's editor).
bool holdsControls(const QWidget* w)
{
    const QMetaObject* kind = w->metaObject();
    return kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject ||
           kind == &QGroupBox::staticMetaObject;
}

QString nameOf(const QWidget* w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// The visible controls that container holds, less those the check passes over.
std::vector<const QWidget*> controlsOf(const QWidget* container, const QWidget* window)
{
    std::vector<const QWidget*> out;
    for (const QObject* child : container->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisibleTo(window) || w->width() <= 0 || w->height() <= 0)
            continue;
        if (w->objectName().startsWith(QLatin1String("qt_")) || w->objectName() == QLatin1String("imgBackPicture") ||
            plat::overlapsOnPurpose(w) || plat::shadowFace(w))
            continue;
        out.push_back(w);
    }
    return out;
}

QRect placeIn(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

// Scaling rounds each control's place and size on its own: on a scaled
// screen, controls that meet on the design may share a row or column of
// pixels, which is no overlap.
int slackOf(const QWidget* window)
{
    return plat::ScreenParts::horizontalRatio(window) == 1.0 && plat::ScreenParts::verticalRatio(window) == 1.0 ? 0 : 1;
}

bool partlyOver(const QRect& a, const QRect& b, int slack)
{
    const QRect common = a & b;
    if (common.width() <= slack || common.height() <= slack)
        return false;
    const auto holds = [slack](const QRect& outer, const QRect& inner) {
        return outer.adjusted(-slack, -slack, slack, slack).contains(inner);
    };
    return !holds(a, b) && !holds(b, a);
}

// Across the whole width, a band only splits a control by its rows.
bool partlyOverBand(const QRect& control, const QRect& band, int slack)
{
    const int inside = (control & band).height();
    return inside > slack && control.height() - inside > slack;
}

void checkSiblings(std::vector<Overlap>& out, const QWidget* container, const QWidget* window, int slack)
{
    const std::vector<const QWidget*> controls = controlsOf(container, window);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (partlyOver(controls[i]->geometry(), controls[j]->geometry(), slack))
                out.push_back({nameOf(controls[i]), placeIn(controls[i], window), nameOf(controls[j]),
                               placeIn(controls[j], window)});
        if (holdsControls(controls[i]))
            checkSiblings(out, controls[i], window, slack);
    }
}

} // namespace

std::vector<Overlap> overlaps(const QWidget* window)
{
    std::vector<Overlap> out;
    const int slack = slackOf(window);
    const std::vector<QRect> bands = plat::ScreenParts::bandRects(window);
    for (const QWidget* w : controlsOf(window, window))
        for (std::size_t b = 0; b < bands.size(); ++b)
            if (partlyOverBand(w->geometry(), bands[b], slack))
                out.push_back({nameOf(w), w->geometry(), QStringLiteral("band %1").arg(b), bands[b]});
    checkSiblings(out, window, window, slack);
    return out;
}

QString describe(const Overlap& o)
{
    auto text = [](const QRect& r) {
        return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    return QStringLiteral("%1 %2 lies partly over %3 %4").arg(o.control, text(o.place), o.other, text(o.otherPlace));
}

} // namespace OverlapCheck
