// The four event rules over one table of cases: channel, code, Param, the
// channel's flags, the option bits and the module's model.

#include "program/runtime/HistoProcs.h"

#include "platform/Guard.h"
#include "program/bus/ConfigAccess.h"
#include "program/bus/EventClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "tests/support/ProgramGlobals.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Channel flags and option masks, one bit or mask per rule.
enum { FScr = 1, FHisto = 2, FPrt = 4, FKlaxon = 8, FAll = 15 };

struct Opts {
    int screen, histo, printer, klaxon;
};
constexpr Opts all(int mask) { return {mask, mask, mask, mask}; }
constexpr int B0 = 1, B1 = 2, B2 = 4, B3 = 8, B4 = 16, BAll = 31;

struct RuleCase {
    const char* name;
    int chnl, aff, param;
    int flags;  // of the event's channel
    Opts opts;
    int model;  // of module 5, the event's module
    bool display, histo, print, klaxon;
};

const RuleCase kCases[] = {
    // module presence: bit 0; only a disappearance sounds the horn
    {"disappearance, bit 0", 255, 0, 1, 0, all(B0), 1, true, true, true, true},
    {"appearance, bit 0", 255, 1, 1, 0, all(B0), 1, true, true, true, false},
    {"presence, other bits", 255, 0, 1, FAll, all(BAll & ~B0), 1, false, false, false, false},
    {"disappearance of a T7100", 255, 0, 1, 0, all(B0), 4, true, true, true, false},
    // module-wide: bit 3 and a code above 1 (the horn rule alike)
    {"module-wide code 1", 0, 1, 0, FAll, all(BAll), 1, false, false, false, false},
    {"module-wide code 2", 0, 2, 0, 0, all(B3), 1, true, true, true, true},
    {"module-wide code 3", 0, 3, 0, 0, all(B3), 2, true, true, true, true},
    {"module-wide code 2, no bit 3", 0, 2, 0, FAll, all(BAll & ~B3), 1, false, false, false, false},
    {"module-wide code 2 of a T7150", 0, 2, 0, 0, all(B3), 5, true, true, true, false},
    // station: never shown or sounded; the acknowledgement needs bit 4
    {"program stop, no options", 254, 2, 0, 0, all(0), 1, false, true, true, false},
    {"polling start, no options", 254, 4, 0, 0, all(0), 1, false, true, true, false},
    {"operator ack, no options", 254, 0, 0, 0, all(BAll & ~B4), 1, false, false, false, false},
    {"operator ack, history bit 4", 254, 0, 0, 0, {0, B4, 0, 0}, 1, false, true, false, false},
    {"operator ack, printer bit 4", 254, 0, 0, 0, {0, 0, B4, 0}, 1, false, false, true, false},
    {"operator ack, every bit", 254, 0, 0, FAll, all(BAll), 1, false, true, true, false},
    // no channel of a module above 24
    {"channel 25", 25, 2, 0, FAll, all(BAll), 1, false, false, false, false},
    {"channel 253", 253, 2, 1, FAll, all(BAll), 1, false, false, false, false},
    // channel events
    {"cable fault, bit 1 alone", 12, 2, 0, FAll, all(B1), 1, true, true, true, true},
    {"cable fault, bit 2 alone", 12, 2, 0, FAll, all(B2), 1, true, true, true, true},
    {"active, bit 1 alone", 12, 1, 0, FAll, all(B1), 1, false, false, false, false},
    {"active, bit 2", 12, 1, 0, FAll, all(B2), 1, true, true, true, true},
    {"acknowledged, bit 1", 12, 1, 1, FAll, all(B1), 1, true, true, true, true},
    {"acknowledged, bit 2 alone", 12, 1, 1, FAll, all(B2), 1, false, false, false, false},
    {"normal, bit 2", 12, 0, 0, FAll, all(B2), 3, true, true, true, true},
    {"flags cleared", 12, 2, 0, 0, all(BAll), 1, false, false, false, false},
    {"history flag only", 12, 2, 0, FHisto, all(BAll), 1, false, true, false, false},
    {"screen and horn flags only", 12, 3, 0, FScr | FKlaxon, all(BAll), 1, true, false, false, true},
    {"each rule its own mask", 12, 2, 0, FAll, {B1, 0, B2, 0}, 1, true, false, true, false},
    {"re-announced, Param 1", 12, 255, 1, FAll, all(B1), 1, true, true, true, true},
    {"re-announced, Param 0", 12, 255, 0, FAll, all(B2), 1, true, true, true, true},
    {"re-announced, Param 0, bit 1", 12, 255, 0, FAll, all(B1), 1, false, false, false, false},
    {"synchronisation Param 2, active", 12, 1, 2, FAll, all(BAll), 1, false, false, false, false},
    {"synchronisation Param 2, cable", 12, 2, 2, FAll, all(B1), 1, true, true, true, true},
    {"channel of a T7100", 12, 2, 0, FAll, all(BAll), 4, true, true, true, false},
    {"channel of a T7150", 1, 3, 0, FAll, all(BAll), 5, true, true, true, false},
};

class EventRules : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            errors << name + ":" + QString::number(e.number());
        });
    }

    static void setMask(int mask, void (ConfigClass::*set)(int, bool))
    {
        for (int bit = 0; bit < 5; ++bit)
            (gConfig->*set)(bit, (mask >> bit) & 1);
    }

    QStringList errors;
};

TEST_F(EventRules, TableOfCases)
{
    for (const RuleCase& c : kCases) {
        ConfigAccess::panel(5).setModel(c.model);
        setMask(c.opts.screen, &ConfigClass::setOptionScreen);
        setMask(c.opts.histo, &ConfigClass::setOptionHisto);
        setMask(c.opts.printer, &ConfigClass::setOptionPrinter);
        setMask(c.opts.klaxon, &ConfigClass::setOptionKlaxon);
        if (c.chnl >= 1 && c.chnl <= 24) {
            ChannelClass& ch = ConfigAccess::channel(5, c.chnl);
            ch.setScrAlm(c.flags & FScr);
            ch.setHisto(c.flags & FHisto);
            ch.setPrtAlm(c.flags & FPrt);
            ch.setKlaxon(c.flags & FKlaxon);
        }
        EventClass ev;
        ev.setPanel(5);
        ev.setChnl(qint16(c.chnl));
        ev.setAff(qint16(c.aff));
        ev.setParam(qint16(c.param));
        EXPECT_EQ(HistoProcs::IsToDisplay(ev), c.display) << c.name;
        EXPECT_EQ(HistoProcs::IsToHisto(ev), c.histo) << c.name;
        EXPECT_EQ(HistoProcs::IsToPrint(ev), c.print) << c.name;
        EXPECT_EQ(HistoProcs::IsToKlaxon(ev), c.klaxon) << c.name;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(", ").toStdString();
}

// A channel event of a module outside the bus finds no channel: each rule
// reports one error under its own name and answers false.
TEST_F(EventRules, ModuleOutsideTheBusReportsOneErrorPerRule)
{
    setMask(BAll, &ConfigClass::setOptionScreen);
    setMask(BAll, &ConfigClass::setOptionHisto);
    setMask(BAll, &ConfigClass::setOptionPrinter);
    setMask(BAll, &ConfigClass::setOptionKlaxon);
    EventClass ev;
    ev.setPanel(70);
    ev.setChnl(3);
    ev.setAff(2);
    EXPECT_FALSE(HistoProcs::IsToDisplay(ev));
    EXPECT_FALSE(HistoProcs::IsToHisto(ev));
    EXPECT_FALSE(HistoProcs::IsToPrint(ev));
    EXPECT_FALSE(HistoProcs::IsToKlaxon(ev));
    EXPECT_EQ(errors, QStringList({"HistoProcs.IsToDisplay:9", "HistoProcs.IsToHisto:9", "HistoProcs.IsToPrint:9",
                                   "HistoProcs.IsToKlaxon:9"}));
}

} // namespace
