// The logout of a user nobody has seen for the configured time: levels 2 to
// 4 drop to 0 without an event or a trace line and every screen but the
// alarm screen and the engine goes, also from inside a modal dialog; level
// 1 stays; a screen that refuses to go is hidden instead of blocking.

#include "program/runtime/dlgConsigne.h"
#include "tests/runtime/AlarmScreenFixture.h"

#include "program/core/IniKeys.h"
#include "program/core/VEXfonctions.h"

#include <QLabel>

namespace {

using alarmtest::AlarmScreenFixture;

// A screen that will not be closed.
class StubbornForm : public plat::Form {
public:
    StubbornForm() : plat::Form(QStringLiteral("fStubborn")) {}
    bool Form_QueryUnload(plat::UnloadMode) override { return refuse; }
    bool refuse = true;
};

class Inactivity : public AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        configure(3, 1);
        channel(3, 5).setHelpNum(1);
        gConfig->setConsigne(1, "Call the fire brigade.");
        showScreen();
        send(3, 5, 0, 1);
        recordEvents();
    }
    QStringList traceLines() const { return testing_support::fileLines(testing_support::programFolder() + "/trace.log"); }
};

TEST_F(Inactivity, LevelsTwoToFourAreLoggedOutAndOnlyTheAlarmScreenRemainsEvenFromAModalDialog)
{
    struct Case {
        int level;
        const char* name;
        bool loggedOut;
    };
    const Case cases[] = {{0, "", false}, {1, "Operator", false}, {2, "Supervisor", true},
                          {3, "Technician", true}, {4, "SERVICE", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level);
        settle();
        gUserLevel = c.level;
        gUserName = c.name;
        plat::Forms::Get("wMain")->Show();
        settle();
        events.clear();
        const int lines = int(traceLines().size());
        const QString lastEvent = VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, QString());

        // The operator reads an instruction when the detector fires.
        wRunAlarms* w = screen();
        ASSERT_NE(w, nullptr);
        w->grdAlarms->setRow(0);
        bool dialogStayed = false;
        const auto shown = testing_support::whenShown(FormNames::dlgConsigne, [&](plat::Form*) {
            emit engine()->engine().UserIsNotHere();
            // Left open by a user who stays: closed here, so that the test goes on.
            if (plat::Form* dlg = plat::Forms::Find(FormNames::dlgConsigne)) {
                dialogStayed = true;
                plat::Forms::Unload(dlg);
            }
        });
        w->imgConsigne->click();
        settle();
        EXPECT_TRUE(*shown);

        EXPECT_EQ(gUserLevel, c.loggedOut ? 0 : c.level);
        EXPECT_EQ(gUserName, c.loggedOut ? "" : c.name);
        EXPECT_TRUE(events.empty()) << "no event";
        EXPECT_EQ(traceLines().size(), lines) << "no trace line";
        EXPECT_EQ(VEXfonctions::GetIni(IniKeys::General, IniKeys::LastEvent, QString()), lastEvent);
        EXPECT_EQ(dialogStayed, !c.loggedOut);
        if (!c.loggedOut) {
            EXPECT_NE(plat::Forms::Find("wMain"), nullptr) << "screens stay";
            continue;
        }
        EXPECT_EQ(loaded(), (QStringList{FormNames::wPolling, FormNames::wRunAlarms}));
        ASSERT_NE(screen(), nullptr);
        EXPECT_TRUE(screen()->isVisible());
        EXPECT_EQ(screen()->lblLogin(0)->text(), "0");
        EXPECT_EQ(rowIds(), std::vector<qint32>{id(3, 5, 0, 1)}) << "the rows come back with the screen";
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join("; ").toStdString();
}

TEST_F(Inactivity, AScreenThatRefusesToCloseIsHiddenAndTheLogoutEnds)
{
    auto* stubborn = new StubbornForm;
    plat::Forms::Adopt(stubborn);
    stubborn->Show();
    gUserLevel = 3;
    engine()->UserSleep_UserIsNotHere();
    settle();
    EXPECT_EQ(gUserLevel, 0);
    EXPECT_FALSE(stubborn->isVisible());
    ASSERT_NE(screen(), nullptr);
    EXPECT_TRUE(screen()->isVisible());
    stubborn->refuse = false;
}

TEST_F(Inactivity, TheDetectorFiringAgainWhileAScreenClosesIsIgnored)
{
    // A screen that asks while it closes lets the detector fire meanwhile.
    auto* asking = new StubbornForm;
    asking->refuse = false;
    plat::Forms::Adopt(asking);
    asking->Show();
    int inner = 0;
    QObject::connect(asking, &plat::Form::unloaded, asking, [&] {
        ++inner;
        gUserLevel = 3;   // as if logged in again meanwhile
        engine()->UserSleep_UserIsNotHere();
    });
    gUserLevel = 3;
    engine()->UserSleep_UserIsNotHere();
    settle();
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(gUserLevel, 3) << "the inner call did nothing";
    EXPECT_EQ(loaded(), (QStringList{FormNames::wPolling, FormNames::wRunAlarms}));
}

} // namespace
