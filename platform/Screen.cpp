#include "platform/Screen.h"

#include "platform/Form.h"
#include "platform/NestedLoop.h"
#include "platform/PictureButton.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace plat::Screen {

namespace {
int g_pointer = vbDefault;
}

void setMousePointer(int pointer)
{
    if (pointer == g_pointer)
        return;
    if (g_pointer == vbHourglass || g_pointer == vbArrowHourglass)
        QGuiApplication::restoreOverrideCursor();
    g_pointer = pointer;
    if (pointer == vbHourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (pointer == vbArrowHourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

int MousePointer()
{
    return g_pointer;
}

void shareCustomPointer(QWidget* form, const QWidget* source)
{
    if (!form || !source)
        return;
    for (PictureButton* b : form->findChildren<PictureButton*>())
        b->setCursor(source->cursor());
}

void DoEvents()
{
    const NestedLoop running;
    QCoreApplication::processEvents();
}

int WidthTwips()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return (s ? s->geometry().width() : 800) * kTwipsPerPixel;
}

int HeightTwips()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return (s ? s->geometry().height() : 600) * kTwipsPerPixel;
}

} // namespace plat::Screen
