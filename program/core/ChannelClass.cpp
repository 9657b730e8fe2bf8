#include "program/core/ChannelClass.h"

#include "platform/Guard.h"
#include "program/core/ConfigFile.h"

void ChannelClass::setAlmPrio(int16_t v) { assign(m_almPrio, v); }
void ChannelClass::setBibNum(int16_t v) { assign(m_bibNum, v); }
void ChannelClass::setHelpNum(int16_t v) { assign(m_helpNum, v); }
void ChannelClass::setHisto(bool v) { assign(m_histo, v); }
void ChannelClass::setKlaxon(bool v) { assign(m_klaxon, v); }
void ChannelClass::setPrintText(const QString& v) { assign(m_printText, v); }
void ChannelClass::setPrtAlm(bool v) { assign(m_prtAlm, v); }
void ChannelClass::setReact(bool v) { assign(m_react, v); }
void ChannelClass::setReactTpo(int32_t v) { assign(m_reactTpo, v); }
void ChannelClass::setScreenText(const QString& v) { assign(m_screenText, v); }
void ChannelClass::setScrAlm(bool v) { assign(m_scrAlm, v); }
void ChannelClass::setTypeImp(int16_t v) { assign(m_typeImp, v); }

void ChannelClass::Copy(const ChannelClass& src)
{
    plat::guard("ChannelClass.Copy", [&] {
        const ChannelClass s = src;   // src may be this channel
        setScreenText(s.ScreenText());
        setPrintText(s.PrintText());
        setHelpNum(s.HelpNum());
        setBibNum(s.BibNum());
        setScrAlm(s.ScrAlm());
        setPrtAlm(s.PrtAlm());
        setHisto(s.Histo());
        setKlaxon(s.Klaxon());
        setAlmPrio(s.AlmPrio());
        setReact(s.React());
        setReactTpo(s.ReactTpo());
        setTypeImp(s.TypeImp());
        setMirrorType(s.MirrorType());
        setState(s.State());
    });
}

bool ChannelClass::SaveTo(ConfigFile::Writer& file)
{
    return plat::guard("ChannelClass.SaveTo", [&] {
        file.string(m_screenText);
        file.string(m_printText);
        file.i16(m_helpNum);
        file.i16(m_bibNum);
        file.boolean(m_scrAlm);
        file.boolean(m_prtAlm);
        file.boolean(m_histo);
        file.boolean(m_klaxon);
        file.i16(m_almPrio);
        file.boolean(m_react);
        file.i32(m_reactTpo);
        file.i16(m_typeImp);
        m_modified = false;
    });
}

bool ChannelClass::ReadFrom(ConfigFile::Reader& file)
{
    return plat::guard("ChannelClass.ReadFrom", [&] {
        m_screenText = file.string();
        m_printText = file.string();
        m_helpNum = file.i16();
        m_bibNum = file.i16();
        m_scrAlm = file.boolean();
        m_prtAlm = file.boolean();
        m_histo = file.boolean();
        m_klaxon = file.boolean();
        m_almPrio = file.i16();
        m_react = file.boolean();
        m_reactTpo = file.i32();
        m_typeImp = file.i16();
        m_modified = false;
    });
}
