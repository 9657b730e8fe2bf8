#pragma once
// The system and parameter screens on the program's assembly (ScreensFixture):
// a recording sound player, counted beeps, and recorders in place of the
// folder and file dialogs and of the file manager; the modal windows are
// answered by the test (ModalAnswers).

#include "platform/Beep.h"
#include "platform/FileManager.h"
#include "platform/SoundPlayer.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/screens/system/SettingsDialogs.h"
#include "program/core/FormNames.h"
#include "tests/screens/FileAnswers.h"
#include "tests/screens/ScreensFixture.h"
#include "tests/support/ModalAnswers.h"
#include "tests/support/FakeSoundPlayer.h"

#include <QTest>

#include <deque>
#include <memory>

using testing_support::ModalAnswers;

class SettingsFixture : public ScreensFixture {
protected:
    void SetUp() override
    {
        ScreensFixture::SetUp();
        plat::setSoundPlayer(&player);
        Global::Alarme(-1);
        player.calls.clear();
        plat::setBeeper([this] { ++beeps; });
        SettingsDialogs::setFolderChooser([this](QWidget*, const QString& prompt, const QString& start) {
            folderPrompts << prompt + " | " + start;
            return takeFileAnswer(folderAnswers);
        });
        SettingsDialogs::setFileChooser([this](QWidget*, const QString& filter, const QString& folder) {
            fileFilters << filter + " | " + folder;
            return takeFileAnswer(importAnswers);
        });
        plat::FileManager::setOpener([this](const QString& folder) {
            fileManagerOpened << folder;
            return true;
        });
        gConfig->setModified(false);
    }

    void TearDown() override
    {
        // The horn silent for the next test; the player goes with the program's globals.
        Global::Alarme(-1);
        plat::setBeeper({});
        SettingsDialogs::setFolderChooser({});
        SettingsDialogs::setFileChooser({});
        plat::FileManager::setOpener({});
        ScreensFixture::TearDown();
    }

    // The screen opened from the main window's menu as the technician opens
    // it (the main window goes), unloaded first if it was loaded.
    template <class Screen>
    Screen* openScreen(const QString& name)
    {
        plat::Forms::Unload(plat::Forms::Find(name));
        settle();
        auto* screen = qobject_cast<Screen*>(plat::Forms::Get(name));
        screen->Show();
        plat::Forms::Unload(plat::Forms::Find(FormNames::wMain));
        return screen;
    }

    // The button of a sub-menu's command, for ModalAnswers::click.
    static QString menuButton(int cmd) { return QStringLiteral("cmdButtons(%1)").arg(cmd); }

    static void click(QWidget* w)
    {
        ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString() << " is not shown";
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // The working file as the program reads it; nothing when there is none.
    static std::unique_ptr<ConfigClass> savedConfig()
    {
        auto c = std::make_unique<ConfigClass>();
        if (!QFile::exists(workingFile()) || c->Read(workingFile()) != 0)
            return nullptr;
        return c;
    }

    testing_support::FakeSoundPlayer player;
    int beeps = 0;
    QStringList folderPrompts;
    std::deque<QString> folderAnswers;
    QStringList fileFilters;
    std::deque<QString> importAnswers;
    QStringList fileManagerOpened;
};
