#pragma once
// The screen shared by the library and instruction text editors: the list
// of every text, the current number, the moves, copy, paste, cut and clear,
// the edit on the on-screen keyboard, cancel, help and leave with the save
// question. The instruction editor adds a preview and the import. The rules
// are in TextEditorModel.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/ListBox.h"
#include "platform/PictureButton.h"
#include "program/screens/system/TextEditorModel.h"

class QLabel;
class QPlainTextEdit;

class TextEditorScreen : public plat::Form {
    Q_OBJECT
public:
    // imgControl
    static constexpr int Previous = 2;
    static constexpr int Next = 3;
    static constexpr int PageBack = 4;
    static constexpr int PageForward = 5;
    static constexpr int Copy = 6;
    static constexpr int Paste = 7;
    static constexpr int Cut = 8;
    static constexpr int Clear = 9;
    static constexpr int Keyboard = 10;
    static constexpr int Import = 11;
    // imgNavig
    static constexpr int NavigLeave = 0;
    static constexpr int NavigHelp = 7;

    const TextEditorModel& Model() const { return m_model; }
    int Current() const { return m_model.Current(); }

    void Form_Load() override;
    void InitListes();
    void lblNumero_Change();
    void lstTexts_Click();
    void imgControl_Click(int index);
    void imgCancel_Click();
    void imgNavig_Click(int index);
    void imgClose_Click();

    plat::Label* lblNumero = nullptr;
    // lstBiblio or lstConsigne.
    plat::ListBox* lstTexts = nullptr;
    // The instruction editor's preview; none in the library editor.
    QPlainTextEdit* txtConsigne = nullptr;
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::PictureButton* imgCancel = nullptr;
    QLabel* lblCancel = nullptr;
    plat::ControlArray<plat::PictureButton> imgNavig{QStringLiteral("imgNavig")};
    plat::PictureButton* imgClose = nullptr;
    // 0 the title's shadow, 1 the title.
    plat::ControlArray<QLabel> lblLabels{QStringLiteral("lblLabels")};
    // 0 the number's caption, 1 its shadow.
    plat::ControlArray<QLabel> lblBibCons{QStringLiteral("lblBibCons")};

protected:
    struct Design {
        QString listName;
        int titleText;
        int numberText;
        // The preview, the import, the multi-line keyboard box.
        bool instructions;
    };
    TextEditorScreen(const QString& name, const TextEditorModel::Kind& kind, TextEditorModel::Memory& memory,
                     const Design& design);

    void paintEvent(QPaintEvent* event) override;

private:
    QString qualified(const char* procedure) const;
    int current() const { return m_model.Current(); }
    void showNumber(int n);
    // The list line of n after an edit, and the preview.
    void showEdited(int n, bool keyboard);
    void showPreview();
    void editOnKeyboard(int n);
    void importFile(int n);
    bool leave();

    TextEditorModel m_model;
    Design m_design;
};
