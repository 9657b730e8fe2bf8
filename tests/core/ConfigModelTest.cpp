// The configuration model: defaults, change tracking, the members' rules.

#include "ConfigFixture.h"
#include "tests/harness/TestSupport.h"

#include <functional>

using namespace config_test;

namespace {

class ConfigModel : public ConfigTestBase {};

TEST_F(ConfigModel, NewConfigurationTakesItsDefaults)
{
    const auto c = newConfig({{100301, "COM1:9600,N,8,1"},
                              {100302, "LPT1:"},
                              {100201, "110"},
                              {100202, "1"},
                              {100203, "10000"},
                              {100204, "2"},   // a digit counts its value at its place
                              {100001, "Admin"},
                              {100011, "1234"},
                              {100002, "Op"},
                              {100012, "55"},
                              {100110, "10"}});
    EXPECT_EQ(c->BusSettings(), "COM1:9600,N,8,1");
    EXPECT_EQ(c->PrtSettings(), "LPT1:");
    EXPECT_TRUE(c->OptionScreen(1) && c->OptionScreen(2) && !c->OptionScreen(0));
    EXPECT_TRUE(c->OptionHisto(0));
    EXPECT_TRUE(c->OptionPrinter(4) && !c->OptionPrinter(0));
    EXPECT_TRUE(c->OptionKlaxon(1) && !c->OptionKlaxon(0));
    EXPECT_EQ(c->UserCount(), 2);
    EXPECT_EQ(c->UserName(1), "Admin");
    EXPECT_EQ(c->UserPwd(1), "1234");
    EXPECT_EQ(c->UserLevel(1), 3);
    EXPECT_EQ(c->UserName(2), "Op");
    EXPECT_EQ(c->UserPwd(2), "55");
    EXPECT_EQ(c->UserLevel(2), 2);
    EXPECT_EQ(c->InactivityTime(), 10);
    EXPECT_FALSE(c->Modified());
    for (int m = 1; m <= 64; ++m) {
        ASSERT_TRUE(c->Panel(m)) << m;
        EXPECT_EQ(c->Panel(m)->Numero(), m);
        EXPECT_EQ(c->Panel(m)->Model(), 0);
        EXPECT_EQ(c->Panel(m)->TitleColor(), 65535);
        EXPECT_FALSE(c->Panel(m)->Modified());
    }
    for (int p = 1; p <= 99; ++p)
        EXPECT_EQ(c->AlarmPrioSound(p), 1);
    EXPECT_EQ(c->Biblio(1), QString(24, QChar(0)));
    EXPECT_EQ(c->Consigne(48), QString(1024, QChar(0)));
    EXPECT_EQ(c->PrinterName(), "");
    EXPECT_EQ(c->PrintMaxLen(), 0);
    EXPECT_EQ(c->Mirrors()->Count(), 0);
}

TEST_F(ConfigModel, UnusableDefaultsReadAsZeroAndCreationCompletes)
{
    for (const QString bad : {"", "ten", "99999", "1e9"}) {
        const auto c = newConfig({{100110, bad}, {100201, "111111111"}});
        EXPECT_EQ(c->InactivityTime(), 0) << bad.toStdString();
        EXPECT_FALSE(c->OptionScreen(0)) << "a mask that does not fit a byte reads 0";
        EXPECT_EQ(c->AlarmPrioSound(50), 1);
        for (int m = 1; m <= 64; ++m)
            ASSERT_TRUE(c->Panel(m));
        EXPECT_FALSE(c->Modified());
    }
}

// Which write marks what. Each case starts from a configuration holding one
// mirror, everything unmarked.
struct Marks {
    bool root;
    bool module3;
    bool channel3_5;
    bool channel3_1;
    bool module4;
    bool mirrors;
    bool mirror1;
};

struct MarkCase {
    const char* name;
    std::function<void(ConfigClass&)> act;
    Marks expected;
};

constexpr Marks kNone{false, false, false, false, false, false, false};
constexpr Marks kRootOnly{true, false, false, false, false, false, false};
constexpr Marks kEverything{true, true, true, true, true, true, true};
constexpr Marks kModule3Whole{true, true, true, true, false, false, false};
constexpr Marks kModule3Own{true, true, false, false, false, false, false};
constexpr Marks kChannel3_5{true, true, true, false, false, false, false};
constexpr Marks kListOnly{true, false, false, false, false, true, false};
constexpr Marks kMirror1{true, false, false, false, false, true, true};

TEST_F(ConfigModel, ChangeTrackingTable)
{
    const std::vector<MarkCase> cases = {
        {"BusSettings changed", [](ConfigClass& c) { c.setBusSettings("COM3:9600,N,8,1"); }, kRootOnly},
        {"BusSettings same", [](ConfigClass& c) { c.setBusSettings(c.BusSettings()); }, kNone},
        {"PrtSettings", [](ConfigClass& c) { c.setPrtSettings("COM1:9600,N,8,1"); }, kRootOnly},
        {"AutoStart", [](ConfigClass& c) { c.setAutoStart(true); }, kRootOnly},
        {"PrintBusResult", [](ConfigClass& c) { c.setPrintBusResult(true); }, kRootOnly},
        {"BusControl", [](ConfigClass& c) { c.setBusControl(true); }, kRootOnly},
        {"PrintMaxLen", [](ConfigClass& c) { c.setPrintMaxLen(40); }, kRootOnly},
        {"InactivityTime", [](ConfigClass& c) { c.setInactivityTime(5); }, kRootOnly},
        {"PrinterInitString", [](ConfigClass& c) { c.setPrinterInitString(7, "x"); }, kRootOnly},
        {"PrinterInitCode same", [](ConfigClass& c) { c.setPrinterInitCode(0, ""); }, kNone},
        {"AlarmPrioSound 5", [](ConfigClass& c) { c.setAlarmPrioSound(5, 3); }, kRootOnly},
        {"AlarmPrioSound same", [](ConfigClass& c) { c.setAlarmPrioSound(5, 1); }, kNone},
        {"AlarmPrioSound 0 ignored", [](ConfigClass& c) { c.setAlarmPrioSound(0, 3); }, kNone},
        {"AlarmPrioSound 100 ignored", [](ConfigClass& c) { c.setAlarmPrioSound(100, 3); }, kNone},
        {"Option bit set", [](ConfigClass& c) { c.setOptionScreen(3, true); }, kRootOnly},
        {"Option bit unchanged", [](ConfigClass& c) { c.setOptionKlaxon(3, false); }, kNone},
        {"Biblio trimmed same text",
         [](ConfigClass& c) {
             c.setBiblio(1, "Pump");
             c.setModified(false);
             c.setBiblio(1, "Pump");
         },
         kRootOnly},
        {"Biblio full padded text",
         [](ConfigClass& c) {
             c.setBiblio(1, "Pump");
             c.setModified(false);
             c.setBiblio(1, c.Biblio(1));
         },
         kNone},
        {"Biblio 0 and 65 ignored",
         [](ConfigClass& c) {
             c.setBiblio(0, "x");
             c.setBiblio(65, "x");
         },
         kNone},
        {"Consigne 49 ignored", [](ConfigClass& c) { c.setConsigne(49, "x"); }, kNone},
        {"Consigne 48", [](ConfigClass& c) { c.setConsigne(48, "x"); }, kRootOnly},
        {"UserCount grown", [](ConfigClass& c) { c.setUserCount(3); }, kRootOnly},
        {"UserCount same", [](ConfigClass& c) { c.setUserCount(2); }, kNone},
        {"UserName same", [](ConfigClass& c) { c.setUserName(1, c.UserName(1)); }, kNone},
        {"UserLevel changed", [](ConfigClass& c) { c.setUserLevel(2, 1); }, kRootOnly},
        {"PrinterName changed", [](ConfigClass& c) { c.setPrinterName("Epson"); }, kEverything},
        {"PrinterName same", [](ConfigClass& c) { c.setPrinterName(""); }, kNone},
        {"Panel set with the same module", [](ConfigClass& c) { c.setPanel(3, c.Panel(3)); }, kNone},
        {"Panel set with another module",
         [](ConfigClass& c) { c.setPanel(3, std::make_shared<PanelClass>()); },
         // the tree is marked, then module 3 is the new, unmarked one
         Marks{true, false, false, false, true, true, true}},
        {"InitPanel", [](ConfigClass& c) { c.InitPanel(3); }, kModule3Whole},
        {"InitPanel 65 ignored", [](ConfigClass& c) { c.InitPanel(65); }, kNone},
        {"Model", [](ConfigClass& c) { c.Panel(3)->setModel(2); }, kModule3Whole},
        {"Model same", [](ConfigClass& c) { c.Panel(3)->setModel(0); }, kNone},
        {"Title", [](ConfigClass& c) { c.Panel(3)->setTitle("Hall"); }, kModule3Whole},
        {"TitleColor", [](ConfigClass& c) { c.Panel(3)->setTitleColor(0); }, kModule3Whole},
        {"Numero", [](ConfigClass& c) { c.Panel(3)->setNumero(9); }, kModule3Whole},
        {"Active", [](ConfigClass& c) { c.Panel(3)->setActive(true); }, kModule3Own},
        {"module live values",
         [](ConfigClass& c) {
             auto p = c.Panel(3);
             p->setActualModel(2);
             p->setPresent(true);
             p->setErrCptr(0, 5);
             p->setNextPoll(plat::DateTime(45000.5));
         },
         kNone},
        {"channel AlmPrio", [](ConfigClass& c) { c.Panel(3)->Channel(5)->setAlmPrio(10); }, kChannel3_5},
        {"channel ScreenText", [](ConfigClass& c) { c.Panel(3)->Channel(5)->setScreenText("x"); }, kChannel3_5},
        {"channel Histo same", [](ConfigClass& c) { c.Panel(3)->Channel(5)->setHisto(true); }, kNone},
        {"channel live values",
         [](ConfigClass& c) {
             auto ch = c.Panel(3)->Channel(5);
             ch->setState(1);
             ch->setMirrorType(2);
             ch->setOutOfOrder(true);
         },
         kNone},
        {"channel 0 is not part of the module", [](ConfigClass& c) { c.Panel(3)->Channel(0)->setAlmPrio(1); },
         kNone},
        {"mirror added", [](ConfigClass& c) { c.Mirrors()->Add(1, 0, 2, 0, 0); }, kListOnly},
        {"mirror edited", [](ConfigClass& c) { c.Mirrors()->Item(1)->setToModule(9); }, kMirror1},
        {"mirror removed", [](ConfigClass& c) { c.Mirrors()->Remove(1); }, Marks{true, false, false, false, false, true, false}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const auto c = newConfig();
        c->Mirrors()->Add(1, 1, 2, 2, 0);
        c->setModified(false);
        ASSERT_FALSE(c->Modified());
        tc.act(*c);
        const Marks& e = tc.expected;
        EXPECT_EQ(c->Modified(), e.root);
        EXPECT_EQ(c->Panel(3)->Modified(), e.module3);
        EXPECT_EQ(c->Panel(3)->Channel(5)->Modified(), e.channel3_5);
        EXPECT_EQ(c->Panel(3)->Channel(1)->Modified(), e.channel3_1);
        EXPECT_EQ(c->Panel(4)->Modified(), e.module4);
        EXPECT_EQ(c->Mirrors()->Modified(), e.mirrors);
        if (c->Mirrors()->Count() > 0) {
            EXPECT_EQ(c->Mirrors()->Item(1)->Modified(), e.mirror1);
        }
    }
}

TEST_F(ConfigModel, ModifiedFalseClearsTheWholeTree)
{
    const auto c = newConfig();
    c->setPrinterName("x");
    c->Mirrors()->Add(1, 0, 2, 0, 1);
    ASSERT_TRUE(c->Panel(64)->Channel(24)->Modified());
    c->setModified(false);
    EXPECT_FALSE(c->Modified());
    EXPECT_FALSE(c->Panel(64)->Channel(24)->Modified());
    EXPECT_FALSE(c->Mirrors()->Item(1)->Modified());
}

TEST_F(ConfigModel, IndexedMembersOutsideTheirRange)
{
    const auto c = newConfig();
    c->setBiblio(3, "Fire");
    EXPECT_EQ(c->Biblio(3), "Fire" + QString(20, u' '));
    c->setBiblio(3, QString(30, u'x'));
    EXPECT_EQ(c->Biblio(3), QString(24, u'x'));
    EXPECT_EQ(c->Biblio(0), "");
    EXPECT_EQ(c->Biblio(65), "");
    EXPECT_EQ(c->Consigne(49), "");
    EXPECT_EQ(c->AlarmPrioSound(0), 0);
    EXPECT_EQ(c->AlarmPrioSound(100), 0);
    EXPECT_TRUE(reports.empty());

    // A module index or a printer string index outside is an error, reported.
    EXPECT_EQ(c->Panel(0), nullptr);
    EXPECT_EQ(c->Panel(65), nullptr);
    EXPECT_TRUE(reported("ConfigClass.Panels"));
    EXPECT_EQ(c->PrinterInitString(8), "");
    EXPECT_TRUE(reported("ConfigClass.PrinterInitString"));
    c->setPrinterInitCode(-1, "x");
    EXPECT_TRUE(reported("ConfigClass.PrinterInitCode"));
    // Bit 8 does not fit the one-byte mask.
    c->setOptionHisto(8, true);
    EXPECT_TRUE(reported("ConfigClass.OptionHisto"));
    EXPECT_FALSE(c->OptionHisto(8));
    // Every place always holds a module.
    c->setPanel(4, nullptr);
    ASSERT_TRUE(c->Panel(4));
}

TEST_F(ConfigModel, UsersGrowTogether)
{
    const auto c = newConfig();
    c->setUserName(5, "Late");
    EXPECT_EQ(c->UserCount(), 5);
    EXPECT_EQ(c->UserPwd(5), "");
    EXPECT_EQ(c->UserLevel(5), 0);
    EXPECT_EQ(c->UserName(6), "");
    EXPECT_EQ(c->UserLevel(6), 0);
    // So a save never meets a user without a code or a level.
    EXPECT_EQ(c->Save(testing_support::programFolder() + "/users.px2"), -1);

    c->setUserCount(1);
    EXPECT_EQ(c->UserCount(), 1);
    EXPECT_EQ(c->UserName(2), "");
    c->setUserCount(0);
    EXPECT_EQ(c->UserCount(), 0);
}

TEST_F(ConfigModel, ChannelDefaultsAndCopy)
{
    ChannelClass ch;
    EXPECT_TRUE(ch.Histo());
    EXPECT_FALSE(ch.ScrAlm() || ch.PrtAlm() || ch.Klaxon() || ch.React());
    EXPECT_EQ(ch.AlmPrio(), 99);
    EXPECT_EQ(ch.ScreenText(), "");
    EXPECT_EQ(ch.TypeImp(), 0);
    ch.setAlmPrio(150);   // the editors keep the range, not the class
    EXPECT_EQ(ch.AlmPrio(), 150);

    ChannelClass src;
    src.setScreenText("A");
    src.setReactTpo(4);
    src.setState(3);
    src.setMirrorType(2);
    src.setOutOfOrder(true);
    ChannelClass dst;
    dst.Copy(src);
    EXPECT_EQ(dst.ScreenText(), "A");
    EXPECT_EQ(dst.ReactTpo(), 4);
    EXPECT_EQ(dst.State(), 3);
    EXPECT_EQ(dst.MirrorType(), 2);
    EXPECT_FALSE(dst.OutOfOrder());
    EXPECT_TRUE(dst.Modified());

    ChannelClass live;
    live.setState(1);
    ChannelClass dst2;
    dst2.Copy(live);
    EXPECT_FALSE(dst2.Modified()) << "live values copied do not mark";
}

TEST_F(ConfigModel, PanelChannelCountCopyAndErrors)
{
    const std::vector<std::pair<int, int>> counts = {{0, 12}, {1, 12}, {2, 24}, {3, 12}, {4, 12}, {5, 12}};
    for (auto [model, n] : counts) {
        PanelClass p;
        p.setModel(model);
        EXPECT_EQ(p.ChannelCount(), n) << "model " << model;
    }

    PanelClass src;
    src.setNumero(5);
    src.setModel(3);
    src.setTitle("T");
    src.setActive(true);
    src.setPresent(true);
    src.setErrCptr(1, 7);
    src.Channel(2)->setScreenText("two");
    src.Channel(0)->setScreenText("zero");
    PanelClass dst;
    dst.setNumero(7);
    dst.setModified(false);
    dst.Copy(src);
    EXPECT_EQ(dst.Numero(), 5) << "the caller puts the number back";
    EXPECT_EQ(dst.Model(), 3);
    EXPECT_TRUE(dst.Present());
    EXPECT_EQ(dst.ErrCptr(1), 0);
    EXPECT_EQ(dst.Channel(2)->ScreenText(), "two");
    EXPECT_EQ(dst.Channel(0)->ScreenText(), "");
    EXPECT_TRUE(dst.Modified());

    EXPECT_EQ(dst.Channel(25), nullptr);
    EXPECT_TRUE(reported("PanelClass.Channel"));
    dst.setModel(256);
    EXPECT_TRUE(reported("PanelClass.Model"));
    EXPECT_EQ(dst.Model(), 3);
    dst.setErrCptr(3, 1);
    EXPECT_TRUE(reported("PanelClass.ErrCptr"));
    dst.setErrCptr(0, 40000);   // does not fit 16 bits
    EXPECT_EQ(dst.ErrCptr(0), 0);
}

TEST_F(ConfigModel, MirrorIdentifiersAndList)
{
    MirrorClasses list;
    auto a = list.Add(3, 0, 12, 7, 1);
    EXPECT_EQ(a->ID(), "03001207");
    EXPECT_TRUE(a->Modified());
    auto b = list.Add(3, 0, 12, 7, 2);
    EXPECT_EQ(list.GetByID("03001207"), a) << "the first in list order";
    EXPECT_TRUE(list.IsAlreadyPresent(*b));
    EXPECT_EQ(list.GetByID("01010101"), nullptr);
    MirrorClass other;
    other.setFromModule(1);
    EXPECT_FALSE(list.IsAlreadyPresent(other));
    EXPECT_EQ(list.Count(), 2);
    int n = 0;
    for (const auto& m : list)
        n += m->MirrorType();
    EXPECT_EQ(n, 3);

    EXPECT_EQ(list.Item(3), nullptr);
    EXPECT_TRUE(reported("MirrorClasses.Item"));
    list.Remove(0);
    EXPECT_TRUE(reported("MirrorClasses.Remove"));
    EXPECT_EQ(list.Count(), 2);

    MirrorClasses empty;
    empty.RemoveAll();
    EXPECT_FALSE(empty.Modified());
    list.setModified(false);
    list.RemoveAll();
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ConfigModel, MirrorListCopyTakesTheSourceFlag)
{
    MirrorClasses src;
    src.Add(1, 2, 3, 4, 1);
    src.Add(5, 0, 6, 0, 0);
    src.setModified(false);
    MirrorClasses dst;
    dst.Add(9, 9, 9, 9, 9);
    dst.Copy(src);
    ASSERT_EQ(dst.Count(), 2);
    EXPECT_EQ(dst.Item(1)->ID(), "01020304");
    EXPECT_EQ(dst.Item(1)->MirrorType(), 1);
    EXPECT_FALSE(dst.Modified());
    EXPECT_FALSE(dst.Item(1)->Modified());
    dst.Copy(dst);
    EXPECT_EQ(dst.Count(), 2) << "a list copied onto itself keeps its mirrors";
}

} // namespace
