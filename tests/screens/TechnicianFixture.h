#pragma once
// The technician screens as the program runs them: the real engine form on
// virtual time against the in-process simulator (the alarm screen's
// ground), the bus screens registered, the modal boxes answered by the test,
// and a short form of the requests each module got.

#include "tests/runtime/AlarmScreenFixture.h"

#include "platform/Label.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/bus/wTechEtatModule.h"
#include "program/screens/bus/wTechnician.h"
#include "tests/support/ModalAnswers.h"

#include <QPushButton>

namespace techtest {

class TechnicianFixture : public alarmtest::AlarmScreenFixture {
protected:
    void SetUp() override
    {
        AlarmScreenFixture::SetUp();
        BusScreens::registerForms();
        // Every request the simulator hears, in a short form ("3:R1x12", "0:W66=1").
        sim.setObserver([this](const modsim::Exchange& x) {
            requests << requestText(x.request);
            if (onRequest)
                onRequest(x);
        });
        answers = std::make_unique<testing_support::ModalAnswers>();
    }
    void TearDown() override
    {
        EXPECT_TRUE(answers->allAnswered()) << "never came: " << answers->pending().join(", ").toStdString();
        EXPECT_TRUE(answers->unexpected.isEmpty()) << answers->unexpected.join("; ").toStdString();
        answers.reset();
        AlarmScreenFixture::TearDown();
    }

    static QString requestText(const QByteArray& f)
    {
        if (f.size() < 6)
            return QStringLiteral("?");
        const int to = quint8(f[0]);
        const int fn = quint8(f[1]);
        const int reg = (quint8(f[2]) << 8) | quint8(f[3]);
        const int word = qint16((quint8(f[4]) << 8) | quint8(f[5]));
        if (fn == 3)
            return word == 1 ? QString("%1:R%2").arg(to).arg(reg) : QString("%1:R%2x%3").arg(to).arg(reg).arg(word);
        return QString("%1:W%2=%3").arg(to).arg(reg).arg(word);
    }
    QStringList requestsTo(int module) const
    {
        return requests.filter(QRegularExpression(QString("^%1:").arg(module)));
    }

    // The technician screen, loaded and shown as the main menu shows it.
    wTechnician* showTechnician()
    {
        engine();
        auto* t = qobject_cast<wTechnician*>(plat::Forms::Get(FormNames::wTechnician));
        t->Show();
        settle();
        return t;
    }
    static wTechnician* technician()
    {
        return qobject_cast<wTechnician*>(plat::Forms::Find(FormNames::wTechnician));
    }
    static wTechEtatModule* moduleState()
    {
        return qobject_cast<wTechEtatModule*>(plat::Forms::Find(FormNames::wTechEtatModule));
    }
    // The selector on module n, stepped as the technician steps it.
    static void select(wTechnician* t, int n)
    {
        t->lblNumero->setCaption(QString::number(n));
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not shown";
        ASSERT_TRUE(w->isEnabled()) << w->objectName().toStdString() << " is disabled";
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    QStringList requests;
    std::function<void(const modsim::Exchange&)> onRequest;
    std::unique_ptr<testing_support::ModalAnswers> answers;
};

} // namespace techtest
