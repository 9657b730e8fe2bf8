#pragma once
// The printer settings: the event printer's port (none, LPT or COM with its
// serial line, beside the line the live printer uses now), its model (one of
// the model files of the program folder) and the colour and styles of each
// kind of printed line. Everything is edited on working copies; a test line
// can be printed with them on the live printer, which is then as it was.
// Leaving asks whether to keep what changed: Yes writes the configuration
// (saved with the next save) and puts the live printer on the new settings.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"
#include "platform/ScreenLook.h"
#include "program/core/FormNames.h"
#include "program/screens/system/EscapeSequences.h"
#include "program/screens/system/PrinterSettings.h"

#include <QList>

class EnginePrinter;
class PrinterModelFile;
class QFrame;
class QLabel;
class QPushButton;

class wParamPrinter : public plat::Form {
    Q_OBJECT
public:
    static constexpr int NavigLeave = 0;
    static constexpr int DirPrevious = 0;
    static constexpr int DirNext = 1;
    static constexpr int ModifSerial = 0;
    static constexpr int ModifLpt = 1;
    // Field backgrounds (0x00BBGGRR): the selected one is yellow.
    static constexpr unsigned int FieldColour = plat::ScreenLook::FieldWhite;
    static constexpr unsigned int SelectedColour = plat::ScreenLook::FieldSelected;
    // The caption of the ticked port kind.
    static inline const QString Ticked = QStringLiteral("X");

    wParamPrinter();

    // The working copies of the eight codes and sequences.
    QString PrinterInitCode(int index) const { return m_codes.at(size_t(index)); }
    QString PrinterInitString(int index) const { return m_sequences.at(size_t(index)); }

    // The leave question's answer: 2 stay, 6 keep the changes, 7 drop them
    // (also when nothing changed).
    int AskForClose();
    // The settings text of what the screen shows.
    QString MakeSetting() const;
    // The descriptions of the eight codes.
    void UpdatePrinterParams();

    // ---- Life cycle and handlers ----
    void Form_Load() override;
    void lblPort_Click(int index);
    void lblBusConfig_Click(int index);
    void lblCharPointer_Change();
    void lblComPointer_Change();
    void imgCharDir_Click(int index);
    void imgComDir_Click(int index);
    void imgComModif_Click(int index);
    void imgCharModif_Click();
    void lstPrinterName_Click();
    void imgChangePrinter_Click();
    void cmdPrintTest_Click();
    void imgNavig_Click(int index);
    void imgClose_Click();

    // ---- Controls ----
    // 0 the screen's title, 1 the sequences' caption, 2 and 3 the serial
    // columns' headings (current, new), 4 the models' caption, 5 the LPT
    // number's caption.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    // The port kind ticks: 0 no printer, 1 LPT, 2 COM; and their captions.
    plat::ControlArray<QLabel> lblPort{QStringLiteral("lblPort")};
    plat::ControlArray<QLabel> lblBusConfig{QStringLiteral("lblBusConfig")};
    // 1 the LPT settings, 2 the serial settings.
    plat::ControlArray<QFrame> PicPort{QStringLiteral("PicPort")};
    plat::Label* lblLptPort = nullptr;
    plat::Label* lblComPort = nullptr;
    plat::Label* lblComSpeed = nullptr;
    plat::Label* lblComParity = nullptr;
    plat::Label* lblComBits = nullptr;
    plat::Label* lblComStop = nullptr;
    // 0..4 the serial fields' captions, 5..9 the live printer's values.
    plat::ControlArray<QLabel> lblComConfig{QStringLiteral("lblComConfig")};
    plat::Label* lblComPointer = nullptr;
    plat::ControlArray<plat::PictureButton> imgComDir{QStringLiteral("imgComDir")};
    plat::ControlArray<plat::PictureButton> imgComModif{QStringLiteral("imgComModif")};
    plat::ListBox* lstPrinterName = nullptr;
    plat::PictureButton* imgChangePrinter = nullptr;
    plat::ControlArray<QLabel> lblEscTitle{QStringLiteral("lblEscTitle")};
    plat::ControlArray<QLabel> lblEscCode{QStringLiteral("lblEscCode")};
    plat::Label* lblCharPointer = nullptr;
    plat::ControlArray<plat::PictureButton> imgCharDir{QStringLiteral("imgCharDir")};
    plat::PictureButton* imgCharModif = nullptr;
    QPushButton* cmdPrintTest = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgClose = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildPortKind();
    void buildLptFrame();
    void buildSerialFrame();
    void buildModels();
    void buildSequences();
    void buildButtons();

    PrinterSettings::Fields shownFields() const;
    void showFields(const PrinterSettings::Fields& fields);
    // Says once what of a model file is not used.
    void tellProblem(const PrinterModelFile& model);
    // Whether the settings text may go to a printer; says why not.
    bool usable(const QString& settings);
    void editWithPicker(plat::Label* field, const QString& valuesList);

    // The serial fields in the order the pointer steps through them (1..5).
    QList<plat::Label*> m_serialFields;
    EscapeSequences::Texts m_codes;
    EscapeSequences::Texts m_sequences;
};
