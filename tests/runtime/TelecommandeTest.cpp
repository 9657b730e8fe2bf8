// The module button of the remote-control overview: what it shows of its
// module, its lamps by channel state, its size and touch surface, its click,
// and the error of an update before it has a module.

#include "program/runtime/Telecommande.h"

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/Globals.h"
#include "program/core/PanelClass.h"
#include "tests/support/ProgramGlobals.h"

#include "platform/Shape.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ModuleButton : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ReplaceConfig(std::make_unique<ConfigClass>([](int) { return QString(); }));
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
    }
    QStringList reports;
};

TEST_F(ModuleButton, ShowsTheModulesNumberModelAndTitle)
{
    Telecommande button;
    auto panel = gConfig->Panel(7);
    panel->setModel(4);
    panel->setTitle("Hall B outputs");
    button.setPanel(panel);
    EXPECT_EQ(button.lblNumPan->text(), "07");
    EXPECT_EQ(button.lblTypePan->text(), "T7100");
    EXPECT_EQ(button.lblPnlTitle->text(), "Hall B outputs");
    EXPECT_EQ(button.Panel(), panel);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(button.lblNumChnl(i)->text(), QString::number(i));

    auto other = gConfig->Panel(12);
    other->setModel(9);
    button.setPanel(other);
    EXPECT_EQ(button.lblNumPan->text(), "12");
    EXPECT_EQ(button.lblTypePan->text(), "") << "no name for an unknown model";
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(ModuleButton, LampsTakeTheChannelsStatesOnlyWhenUpdated)
{
    Telecommande button;
    auto panel = gConfig->Panel(3);
    button.setPanel(panel);
    const qint16 states[] = {0, 1, 2, 3, 255, 4, 0, 1, 0, 0, 7, 1};
    for (int i = 1; i <= 12; ++i)
        panel->Channel(qint16(i))->setState(states[i - 1]);
    EXPECT_EQ(button.shpChnlState(2)->FillColor(), 0x808080u) << "no timer: grey until updated";
    button.Update();
    for (int i = 1; i <= 12; ++i) {
        const unsigned int expected = states[i - 1] == 0 ? 0x808080u : states[i - 1] == 1 ? 0x0000FFu : 0xFF00FFu;
        EXPECT_EQ(button.shpChnlState(i)->FillColor(), expected) << "channel " << i;
    }
    // The button holds the live module: the next update reads the new states.
    panel->Channel(2)->setState(0);
    button.Update();
    EXPECT_EQ(button.shpChnlState(2)->FillColor(), 0x808080u);
}

TEST_F(ModuleButton, AnUpdateBeforeItHasAModuleIsReported)
{
    Telecommande button;
    button.Update();
    EXPECT_EQ(reports, QStringList{"Telecommande.Update 91"});
}

TEST_F(ModuleButton, KeepsItsSizeAndATouchAnywhereClicksIt)
{
    Telecommande button;
    button.show();
    const QSize design(2550 / 15, 2055 / 15);
    EXPECT_EQ(button.size(), design);
    for (const QSize& asked : {QSize(40, 30), QSize(400, 300), QSize(170, 10)}) {
        button.resize(asked);
        EXPECT_EQ(button.size(), design);
        EXPECT_EQ(button.imgButton->geometry(), button.rect());
    }
    int clicks = 0;
    QObject::connect(&button, &Telecommande::Click, [&] { ++clicks; });
    // Whatever lies at the touch, the touch surface above it takes it.
    for (const QPoint& at : {QPoint(5, 5), button.lblNumPan->geometry().center(), button.shpChnlState(12)->geometry().center()}) {
        ASSERT_EQ(button.childAt(at), button.imgButton) << at.x() << "," << at.y();
        QTest::mouseClick(button.imgButton, Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(clicks, 3);
}

} // namespace
