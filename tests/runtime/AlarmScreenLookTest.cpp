// The alarm screen, the instruction dialog and the bus monitor rendered in
// the three languages, for a person to look at: an empty list, one alarm,
// and a list of every colour with modules missing.

#include "program/runtime/dlgConsigne.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include <QLabel>
#include <QLineEdit>

namespace {

using alarmtest::AlarmScreenFixture;

class AlarmScreenLook : public AlarmScreenFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        gLanguage = GetParam();
        for (int m : {1, 3, 7})
            configure(m, 1);
        configure(12, 4);
        gConfig->setBiblio(1, "Fire");
        gConfig->setBiblio(2, "Door");
        for (int c = 1; c <= 12; ++c) {
            channel(3, c).setBibNum(qint16(c % 2 + 1));
            channel(3, c).setScreenText(QString("Hall B, detector %1").arg(c));
        }
    }
    void TearDown() override
    {
        gLanguage = 0;
        AlarmScreenFixture::TearDown();
    }
    QString suffix() const { return QStringList{"en", "fr", "de"}[GetParam()]; }
};

TEST_P(AlarmScreenLook, RendersEmptyOneRowAndEveryColour)
{
    wRunAlarms* w = showScreen();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->txtNoAlarm->isVisibleTo(w));
    testing_support::renderToPng(w, "wRunAlarms-0-" + suffix());

    send(3, 5, 0, 1);
    EXPECT_FALSE(w->txtNoAlarm->isVisibleTo(w));
    testing_support::renderToPng(w, "wRunAlarms-1-" + suffix());

    // Every colour: presence rows, unacknowledged and acknowledged states,
    // a re-announcement, and enough rows to scroll.
    for (int c = 13; c <= 24; ++c)
        send(7, c, 0, 1);
    send(7, 0, 0, 2);
    for (int c = 1; c <= 12; ++c)
        send(1, c, 0, c % 2 ? 1 : 0);
    for (int aff : {1, 2, 3, 4, 255, 6})
        send(3, 6 + (aff % 6), 1, aff);
    send(9, 255, 1, 0);
    for (int m : {9, 12, 7}) {
        gConfig->Panel(qint16(m))->setModel(m == 12 ? 4 : 1);
        gConfig->Panel(qint16(m))->setActive(true);
        gConfig->Panel(qint16(m))->setErrCptr(2, 1);
    }
    w->tmrDateTime_Timer();
    EXPECT_GE(w->AlarmRowCount(), 30);
    testing_support::renderToPng(w, "wRunAlarms-30-" + suffix());

    auto* dlg = qobject_cast<dlgConsigne*>(plat::Forms::Get(FormNames::dlgConsigne));
    QString text;
    for (int i = 0; i < 16; ++i)
        text += QString("%1. Check the detector in hall B, then call the fire brigade on 112.\r\n").arg(i + 1);
    dlg->setAlarm(w->AlarmRowText(0).replace(' ', QChar(0xA0)));
    dlg->setConsigne(text.left(1024));
    testing_support::renderToPng(dlg, "dlgConsigne-" + suffix());

    wPolling* monitor = engine();
    monitor->Form_Activate();
    testing_support::renderToPng(monitor, "wPolling-" + suffix());
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, AlarmScreenLook, ::testing::Values(0, 1, 2));

} // namespace
