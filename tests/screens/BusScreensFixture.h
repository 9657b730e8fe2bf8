#pragma once
// The bus configuration screens on a program folder with the built
// configuration database: a configuration in gConfig, the forms they use
// registered (a plain form under the main window's name), error reports and
// beeps counted, and the modal boxes, dialogs and file dialogs answered by the
// test.

#include "platform/AppIdentity.h"
#include "platform/Beep.h"
#include "platform/Captions.h"
#include "platform/ColorDialog.h"
#include "platform/Database.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/CoreForms.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/core/InputDialogs.h"
#include "program/core/LanguageGlobals.h"
#include "program/core/MirrorClass.h"
#include "program/core/MirrorClasses.h"
#include "program/screens/bus/BusScreens.h"
#include "program/screens/bus/wBusModules.h"
#include "program/screens/bus/wBusPanneau.h"
#include "tests/harness/TestSupport.h"
#include "tests/screens/FileAnswers.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/ProgramGlobals.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class BusScreensFixture : public testing_support::ProgramGlobals {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            QFile::copy(testing_support::binFolder() + "/PLX2.cfg", testing_support::programFolder() + "/PLX2.cfg"));
        ASSERT_TRUE(Config::OpenConfigBase());
        gLanguage = 0;
        ReplaceConfig(std::make_unique<ConfigClass>());
        gConfig->setModified(false);
        LanguageGlobals::SetNoChannelText();
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
        m_answers = std::make_unique<testing_support::ModalAnswers>();
    }

    void TearDown() override
    {
        EXPECT_TRUE(m_answers->allAnswered()) << "never came: " << m_answers->pending().join(", ").toStdString();
        EXPECT_TRUE(m_answers->unexpected.isEmpty()) << m_answers->unexpected.join("; ").toStdString();
        m_answers.reset();
        plat::setBeeper({});
        plat::ColorDialog::setChooser({});
        wBusModules::setFileDialog({});
        ProgramGlobals::TearDown();
    }

    // ---- Screens --------------------------------------------------------

    static wBusModules* overview() { return qobject_cast<wBusModules*>(plat::Forms::Find(FormNames::wBusModules)); }
    static wBusPanneau* editor() { return qobject_cast<wBusPanneau*>(plat::Forms::Find(FormNames::wBusPanneau)); }

    // The overview, loaded and shown.
    static wBusModules* showOverview()
    {
        auto* o = qobject_cast<wBusModules*>(plat::Forms::Get(FormNames::wBusModules));
        o->Show();
        return o;
    }

    // The editor on module n, as the overview opens it.
    static wBusPanneau* openEditor(int n)
    {
        auto* e = qobject_cast<wBusPanneau*>(plat::Forms::Get(FormNames::wBusPanneau));
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

    static QStringList visibleForms() { return testing_support::visibleForms(); }

    static QString workingFile() { return plat::AppIdentity::programFile(".dat"); }

    // The working file as the program reads it, or nothing when there is none.
    static std::unique_ptr<ConfigClass> saved()
    {
        if (!QFile::exists(workingFile()))
            return nullptr;
        auto c = std::make_unique<ConfigClass>();
        if (c->Read(workingFile()) != 0)
            return nullptr;
        return c;
    }

    static QStringList mirrorIds(const MirrorClasses& list)
    {
        QStringList ids;
        for (const auto& m : list)
            ids << m->ID();
        return ids;
    }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not shown";
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // ---- Message boxes and dialogs ------------------------------------------

    // The answer for the next message box (its result: 1 OK, 2 Cancel, 6 Yes, 7 No).
    void answer(int result) { m_answers->message(result); }
    // The texts of the message boxes answered, in order.
    QStringList& asked() { return m_answers->messages; }
    // Runs action on the next modal window, which must be formName, from
    // inside its modal loop.
    void whenModal(const QString& formName, std::function<void(plat::Form*)> action)
    {
        m_answers->on(formName, std::move(action));
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
    std::unique_ptr<testing_support::ModalAnswers> m_answers;
};
