#include "platform/Beep.h"

#include <QApplication>

namespace plat {

namespace {
Beeper& installed()
{
    static Beeper b;
    return b;
}
} // namespace

void setBeeper(Beeper beeper)
{
    installed() = std::move(beeper);
}

void Beep()
{
    if (installed())
        installed()();
    else
        QApplication::beep();
}

} // namespace plat
