#include "program/screens/bus/BusPage.h"

#include "platform/RtError.h"
#include "platform/Values.h"
#include "program/core/Global.h"
#include "program/core/PanelClass.h"

#include <algorithm>
#include <cmath>

int BusPage::FirstFromIni(const QString& value)
{
    double v = 0;
    try {
        v = plat::Val(value);
    } catch (const plat::RtError&) {
        // An over-long hexadecimal text is no page either.
        v = 0;
    }
    return Bound(v);
}

int BusPage::Bound(double first)
{
    if (!std::isfinite(first))
        return FirstPage;
    return plat::CInt(std::clamp(first, double(FirstPage), double(LastPage)));
}

int BusPage::Previous(int first)
{
    return Bound(first - Tiles);
}

int BusPage::Next(int first)
{
    return Bound(first + Tiles);
}

bool BusPage::PreviousShown(int first)
{
    return first > FirstPage;
}

bool BusPage::NextShown(int first)
{
    return first < LastPage;
}

BusPage::Tile BusPage::TileOf(int module, const PanelClass& panel)
{
    Tile t;
    t.number = QString::number(module).rightJustified(2, QLatin1Char('0'));
    t.model = Global::ModuleName(panel.Model());
    t.title = panel.Title().replace(QLatin1Char('|'), QStringLiteral("\r\n"));
    t.titleColor = panel.TitleColor();
    t.crossed = panel.Model() < 1 || !panel.Active();
    return t;
}
