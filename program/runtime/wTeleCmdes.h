#pragma once
// The remote-control overview: one module button for every active module of
// model 4 or 5, in pages of 12 (4 columns, 3 rows) in increasing module
// number, page buttons and a close button. A module button opens the remote
// command screen of its module, modal. The list of modules is taken at load;
// every activation rebuilds the page with the lamps as they stand.

#include "program/core/FormNames.h"
#include "program/runtime/Telecommande.h"

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureButton.h"

#include <vector>

class QLabel;

class wTeleCmdes : public plat::Form {
    Q_OBJECT
public:
    // imgNavig: previous and next page, the greyed arrows under them (next,
    // previous), close.
    static constexpr int NavigPrevious = 1;
    static constexpr int NavigNext = 2;
    static constexpr int NavigNextGreyed = 3;
    static constexpr int NavigPreviousGreyed = 4;
    static constexpr int NavigClose = 5;

    wTeleCmdes();

    void Form_Load() override;
    void Form_Activate() override;
    void Nationality() override;
    void HabillePanneaux();
    void imgNavig_Click(int index);
    void Telecmde_Click(int index);

    // The modules of the buttons (element 0 holds 0) and the list position
    // of the page's first one.
    const std::vector<qint16>& Panels() const { return mPanels; }
    int First() const { return mFirst; }

    plat::ControlArray<Telecommande> Telecmde{QStringLiteral("Telecmde")};
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    QLabel* imgBackPicture = nullptr;

private:
    void buildControls();
    int count() const { return int(mPanels.size()) - 1; }

    std::vector<qint16> mPanels{0};
    int mFirst = 1;
};
