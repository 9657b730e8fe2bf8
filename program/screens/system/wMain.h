#pragma once
// The main window, hub of the panel: six menu tiles (bus modules,
// parameters, system, alarms, technician, about) behind their access levels,
// the file tools (save as, open, new, quit), the login button with the access
// level, the language button, the configuration file in use and its
// modified marker. The menu and the file commands are plain classes beside it.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

#include <functional>
#include <memory>

class QLabel;
class QListWidget;

class wMain : public plat::Form {
    Q_OBJECT
public:
    // Tool buttons.
    static constexpr int NavigSaveAs = 8;
    static constexpr int NavigOpen = 9;
    static constexpr int NavigQuit = 10;
    static constexpr int NavigNew = 11;
    static constexpr int NavigLogin = 13;
    static constexpr int MenuCount = 6;

    // The file dialog (owner, filter, save, initial name, initial folder):
    // the chosen path, "" when cancelled. The library's dialog unless a test
    // or a tool gives another; an empty one restores it.
    using FileDialog = std::function<QString(QWidget* owner, const QString& filter, bool save,
                                             const QString& fileName, const QString& folder)>;
    static void setFileDialog(FileDialog dialog);

    wMain();
    ~wMain() override;

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_QueryUnload(plat::UnloadMode mode) override;
    void Form_KeyDown(int keyCode, int shift);
    void Nationality() override;

    // Opens menu entry index; screens call it with 1 or 2 as they close.
    void imgMenu_Click(int index);
    // The tool buttons: 8 save as, 9 open, 10 quit, 11 new, 13 login.
    void imgNavig_Click(int index);
    void lblLogin_Change(int index);
    void imgLanguage_Click();
    void lstLanguage_Click();
    void lstLanguage_LostFocus();

    plat::ControlArray<plat::PictureButton> imgMenu{QStringLiteral("imgMenu")};
    // 0..5 the captions, 6..11 their shadows.
    plat::ControlArray<QLabel> lblMenu{QStringLiteral("lblMenu")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    // 0 the access level, 1 its shadow.
    plat::ControlArray<QLabel> lblLogin{QStringLiteral("lblLogin")};
    plat::PictureButton* imgLanguage = nullptr;
    // 0 the language's name, 1 its shadow.
    plat::ControlArray<QLabel> lblLanguage{QStringLiteral("lblLanguage")};
    QListWidget* lstLanguage = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lblModified = nullptr;
    // 2 the language caption, 7 the heading, 8 the title, 9 the version
    // caption, 10 the version; the shadows after them.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class MenuLink;
    class FileLink;
    struct Links;

    void buildControls();
    void AligneMenus();
    void selectLanguage(int row);
    void setLevelCaption();
    void runQuitFromCloseBox();

    std::shared_ptr<Links> m_links;
};
