#pragma once
// The bus configuration screens on a program folder with the built
// configuration database: a configuration in gConfig, the forms registered
// (a plain form under the main window's name), error reports and beeps
// counted, and the modal boxes, dialogs and file dialogs answered by the test.

#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/ColorDialog.h"
#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/CoreForms.h"
#include "program/core/Globals.h"
#include "program/core/InputDialogs.h"
#include "program/core/FormNames.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/bus/wBusPanneau.h"
#include "tests/harness/TestSupport.h"
#include "tests/screens/FileAnswers.h"
#include "tests/screens/MessageAnswers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class BusScreensFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        gLanguage = 0;
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        gNoChannelText = Config::GetText(10100);
        CoreForms::registerForms();
        InputDialogs::registerForms();
        plat::Forms::registerForm(FormNames::wMain, [] { return new plat::Form(FormNames::wMain); });
        BusScreens::registerForms();
        plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
        plat::setErrorReporter([this](const QString& name, const plat::RtError& e) {
            reports << QString("%1 %2").arg(name).arg(e.number());
        });
        plat::setBeeper([this] { ++beeps; });
        wBusModules::setFileDialog([this](QWidget*, const QString& filter, bool save) {
            fileDialogs.push_back({filter, save});
            return takeFileAnswer(fileAnswers);
        });
        m_answers = std::make_unique<MessageAnswers>();
    }

    void TearDown() override
    {
        m_answers.reset();
        for (const QString& name : m_standIns)
            plat::Forms::unregisterForm(name);
        plat::Forms::UnloadAllExcept({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        plat::setErrorReporter({});
        plat::setCaptionSource({});
        plat::setBeeper({});
        plat::ColorDialog::setChooser({});
        wBusModules::setFileDialog({});
        ReplaceConfig(nullptr);
        ReplaceDatabase(nullptr);
        gLanguage = 0;
    }

    // ---- Screens --------------------------------------------------------

    static wBusModules* overview() { return qobject_cast<wBusModules*>(plat::Forms::Find(wBusModules::FormName)); }
    static wBusPanneau* editor() { return qobject_cast<wBusPanneau*>(plat::Forms::Find(wBusPanneau::FormName)); }

    // The overview, loaded and shown.
    static wBusModules* showOverview()
    {
        auto* o = qobject_cast<wBusModules*>(plat::Forms::Get(wBusModules::FormName));
        o->Show();
        return o;
    }

    // The editor on module n, as the overview opens it.
    static wBusPanneau* openEditor(int n)
    {
        auto* e = qobject_cast<wBusPanneau*>(plat::Forms::Get(wBusPanneau::FormName));
        e->setNumModule(n);
        e->Show();
        return e;
    }

    // Lets unloaded forms go.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QStringList visibleForms()
    {
        QStringList names;
        for (plat::Form* f : plat::Forms::All())
            if (f->isVisible())
                names << f->objectName();
        return names;
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not shown";
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // A plain form under the name of a screen not built yet, for this test only.
    void standIn(const QString& name)
    {
        plat::Forms::registerForm(name, [name] { return new plat::Form(name); });
        m_standIns << name;
    }

    // ---- Message boxes -----------------------------------------------------

    // The answer for the next message box (its result: 1 OK, 2 Cancel, 6 Yes, 7 No).
    void answer(int result) { m_answers->answer(result); }
    // The texts of the message boxes shown, in order.
    QStringList& asked() { return m_answers->asked; }

    // ---- Modal dialogs -----------------------------------------------------

    // Runs action on the form as soon as it is shown modally; the form is
    // hidden (and the test fails) when that does not happen within 5 s.
    void whenModal(const QString& formName, std::function<void(plat::Form*)> action)
    {
        auto* watch = new QTimer(&m_context);
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        QObject::connect(watch, &QTimer::timeout, &m_context, [=] {
            plat::Form* f = plat::Forms::Find(formName);
            if (f && f->isVisible() && f->IsModal()) {
                watch->deleteLater();
                action(f);
                return;
            }
            if (started->elapsed() > 5000) {
                watch->deleteLater();
                ADD_FAILURE() << formName.toStdString() << " was never shown modally";
                if (f)
                    f->Hide();
            }
        });
        watch->start(5);
    }

    // The file dialogs asked for (filter, save mode), and the paths that
    // answer them in turn ("" cancels).
    struct FileDialogCall {
        QString filter;
        bool save;
    };
    std::vector<FileDialogCall> fileDialogs;
    std::deque<QString> fileAnswers;

    QStringList reports;
    int beeps = 0;

private:
    QObject m_context;
    std::unique_ptr<MessageAnswers> m_answers;
    QStringList m_standIns;
};
