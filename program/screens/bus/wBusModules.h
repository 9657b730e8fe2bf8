#pragma once
// The bus overview: the 64 modules as pages of 16 tiles (number, model,
// title in its colour, a cross over a module without a model or switched
// off). A tile opens the module editor on its module; the buttons turn the
// page, open the mirror list and the module copy, and export and import the
// channel table. The screen reads the configuration and never changes it.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

#include <functional>

class QLabel;

class wBusModules : public plat::Form {
    Q_OBJECT
public:
    // The navigation bar's buttons.
    static constexpr int NavigLeave = 0;
    static constexpr int NavigPreviousPage = 1;
    static constexpr int NavigNextPage = 2;
    static constexpr int KeyF12 = 123;
    // The channel table buttons.
    static constexpr int ChannelTableImport = 0;
    static constexpr int ChannelTableExport = 1;

    // The file dialog (owner, filter, save): the chosen path, "" when
    // cancelled. The library's dialog unless a test or a tool gives another;
    // an empty one restores it.
    using FileDialog = std::function<QString(QWidget* owner, const QString& filter, bool save)>;
    static void setFileDialog(FileDialog dialog);

    wBusModules();

    // Redraws the 16 tiles from the configuration.
    void HabillePanneaux();
    void Nationality() override;
    // The module on the first tile.
    int FirstModule() const { return m_first; }

    void Form_Load() override;
    void Form_KeyDown(int keyCode);
    void imgPanneau_Click(int index);
    void imgMiroirs_Click();
    void imgCopyPanel_Click();
    void imgImportExport_Click(int index);
    void imgNavig_Click(int index);

    // Tiles: element 0 designed, 1..15 made at load.
    plat::ControlArray<plat::PictureButton> imgPanneau{QStringLiteral("imgPanneau")};
    plat::ControlArray<QLabel> imgCroix{QStringLiteral("imgCroix")};
    plat::ControlArray<QLabel> lblNumPan{QStringLiteral("lblNumPan")};
    plat::ControlArray<QLabel> lblTypePan{QStringLiteral("lblTypePan")};
    plat::ControlArray<QLabel> lblLblPan{QStringLiteral("lblLblPan")};
    QLabel* lblLabels = nullptr;
    plat::PictureButton* imgMiroirs = nullptr;
    QLabel* lblMiroirs = nullptr;
    plat::PictureButton* imgCopyPanel = nullptr;
    // 0 import, 1 export.
    plat::ControlArray<plat::PictureButton> imgImportExport{QStringLiteral("imgImportExport")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    QLabel* imgBackPicture = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildTileZero();
    void buildBar();
    void makeTiles();
    void connectTile(int index);
    void showPageButtons();
    void exchangeChannelTable(bool exporting);

    int m_first = 1;
};
