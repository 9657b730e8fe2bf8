#include "program/core/ConfigCopy.h"

#include "platform/Guard.h"
#include "program/core/ChannelClass.h"
#include "program/core/PanelClass.h"

namespace ConfigCopy {

void Channel(ChannelClass& target, const ChannelClass& src)
{
    plat::guard(QStringLiteral("ConfigCopy.Channel"), [&] {
        const ChannelClass s = src; // src may be the target
        target.setScreenText(s.ScreenText());
        target.setPrintText(s.PrintText());
        target.setHelpNum(s.HelpNum());
        target.setBibNum(s.BibNum());
        target.setScrAlm(s.ScrAlm());
        target.setPrtAlm(s.PrtAlm());
        target.setHisto(s.Histo());
        target.setKlaxon(s.Klaxon());
        target.setAlmPrio(s.AlmPrio());
        target.setReact(s.React());
        target.setReactTpo(s.ReactTpo());
        target.setTypeImp(s.TypeImp());
    });
}

void Panel(PanelClass& target, const PanelClass& src)
{
    plat::guard(QStringLiteral("ConfigCopy.Panel"), [&] {
        if (&src == &target)
            return;
        target.setNumero(src.Numero());
        target.setModel(src.Model());
        target.setTitle(src.Title());
        target.setTitleColor(src.TitleColor());
        target.setActive(src.Active());
        for (int16_t c = 1; c <= PanelClass::kChannels; ++c)
            Channel(*target.Channel(c), *src.Channel(c));
    });
}

} // namespace ConfigCopy
