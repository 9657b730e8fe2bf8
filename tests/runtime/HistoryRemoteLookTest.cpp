// The history viewer and the remote-control screens rendered in the three
// languages, for a person to look at: a month loaded, the instruction of an
// entry, both pages of thirteen modules, and a module's channels in every
// lamp colour.

#include "program/runtime/HistoricGrid.h"
#include "program/runtime/dlgConsigne.h"
#include "program/runtime/wHistoric.h"
#include "tests/runtime/RemoteScreensFixture.h"

namespace {

class HistoryRemoteLook : public remotetest::RemoteScreensFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        RemoteScreensFixture::SetUp();
        gLanguage = GetParam();
        remoteModules(1, 13);
        gConfig->setBiblio(1, "Pump");
        gConfig->setBiblio(2, "Valve");
        gConfig->setConsigne(1, "Check the breaker in cabinet B2,\r\nthen switch the pump on again from here.");
        const qint16 states[] = {0, 1, 2, 3, 255, 1, 0, 0, 1, 0, 4, 0};
        for (int c = 1; c <= 12; ++c) {
            ChannelClass& ch = channel(9, c);
            ch.setBibNum(qint16(c % 3));
            ch.setScreenText(QString("Hall B, outlet %1 of the west wall").arg(c));
            ch.setHelpNum(1);
            ch.setState(states[c - 1]);
            channel(2, c).setState(states[(c + 3) % 12]);
        }
    }
    void TearDown() override
    {
        HistoProcs::setHistoClock({});
        gLanguage = 0;
        RemoteScreensFixture::TearDown();
    }
    QString suffix() const { return QStringList{"en", "fr", "de"}[GetParam()]; }

    // A month of alarms and acknowledgements of module 9.
    static void monthOfHistory()
    {
        const QDate today = QDate::currentDate();
        HistoProcs::setHistoClock([today] { return plat::DateTime::fromDate(today, QTime(12, 0)); });
        int num = 1;
        for (int day = 1; day <= today.day(); ++day)
            for (const auto& [chnl, param, aff] : {std::tuple{5, 1, 3}, {254, 0, 0}, {5, 0, 1}, {11, 1, 1}}) {
                EventClass ev;
                ev.setNum(num);
                ev.setPanel(9);
                ev.setChnl(qint16(chnl));
                ev.setParam(qint16(param));
                ev.setAff(qint16(aff));
                ev.setClock(1000 + 37 * num);
                ev.setGDH(plat::DateTime::fromDate(QDate(today.year(), today.month(), day), QTime(6 + num % 12, num % 60)));
                HistoProcs::HistoEvent(ev);
                ++num;
            }
        HistoProcs::setHistoClock({});
    }
};

TEST_P(HistoryRemoteLook, RendersTheViewerTheOverviewAndTheCommandScreen)
{
    gPanelLetter = "M";
    gChannelLetter = "C";
    monthOfHistory();
    engine();
    auto* viewer = qobject_cast<wHistoric*>(plat::Forms::Get(FormNames::wHistoric));
    viewer->Show();
    settle();
    viewer->tmrUpdate_Timer();
    ASSERT_GT(viewer->grdAlarms->Rows(), 3);
    testing_support::renderToPng(viewer, "wHistoric-" + suffix());

    viewer->grdAlarms->setRow(viewer->grdAlarms->Rows() - 4);
    bool rendered = false;
    testing_support::whenShown(FormNames::dlgConsigne, [&](plat::Form* f) {
        testing_support::renderToPng(f, "dlgConsigne-history-" + suffix());
        rendered = true;
        qobject_cast<dlgConsigne*>(f)->imgClose->click();
    });
    viewer->imgConsigne->click();
    EXPECT_TRUE(rendered);
    plat::Forms::Unload(viewer);
    settle();

    wTeleCmdes* w = showOverview();
    testing_support::renderToPng(w, "wTeleCmdes-1-" + suffix());
    w->imgNavig(wTeleCmdes::NavigNext)->click();
    ASSERT_EQ(buttons(), QStringList{"13"});
    testing_support::renderToPng(w, "wTeleCmdes-2-" + suffix());

    wTeleCmde* screen = showCommandScreen(9);
    screen->tmrPoll_Timer();
    screen->lblVoyant_Click(5);
    testing_support::renderToPng(screen, "wTeleCmde-" + suffix());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, HistoryRemoteLook, ::testing::Values(0, 1, 2));

} // namespace
