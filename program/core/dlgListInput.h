#pragma once
// The value picker: the operator picks one value of a list (a number range,
// fixed texts, or No/Yes) with two repeating arrows or by touching an entry,
// and confirms or cancels. While the module editor calls it, the editor's
// library or instruction list follows the value. It is neither translated
// nor scaled: it has no load procedure.

#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/FormTimer.h"
#include "platform/PictureButton.h"
#include "program/core/ListInputModel.h"

#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <optional>

class QLineEdit;
class QListWidget;

class dlgListInput : public plat::Form {
    Q_OBJECT
public:
    dlgListInput();

    // Loads the picker, shows it modally over the calling form with the
    // current value and the values list, and unloads it: the value chosen,
    // nothing when the operator cancels (or the picker is torn down
    // meanwhile). It opens centred on the caller, or with its top left corner
    // at the screen position at.
    static std::optional<QString> Pick(plat::Form* caller, const QString& current, const QString& valuesList,
                                       std::optional<QPoint> at = std::nullopt);

    // Its size, for a caller that places it beside a control of its own.
    static constexpr int kWidth = 330;
    static constexpr int kHeight = 420;

    // True when the operator confirmed.
    bool Ok() const { return m_ok; }
    // Fills the list from a value list and selects the last entry equal to txtValue.
    void setValuesList(const QString& valuesList);
    // The calling form ("Parent"), named apart from QWidget's parent so that
    // neither hides the other.
    QWidget* ParentForm() const { return m_parent; }
    void setParentForm(QWidget* callingForm);

    // Auto-repeat delays of a held arrow.
    static constexpr int kRepeatFirstMs = 1000;
    static constexpr int kRepeatNextMs = 100;

    QListWidget* lstValue = nullptr;
    QLineEdit* txtValue = nullptr;
    // 0 up, 1 down, 2 confirm, 3 cancel.
    plat::ControlArray<plat::PictureButton> imgControl{QStringLiteral("imgControl")};
    plat::FormTimer* tmrRepeat = nullptr;

    void imgControl_Click(int index);
    void imgControl_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers shift);
    void imgControl_MouseUp(int index);
    void tmrRepeat_Timer();
    void lstValue_Click();
    void txtValue_Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows the model's selection in the list box (which writes txtValue).
    void showSelection();
    // Undoes the editor's live list on cancel.
    void restoreEditorList();

    ListInputModel m_model;
    bool m_ok = false;
    QPointer<QWidget> m_parent;
    int16_t m_held = -1;
    bool m_filling = false;
};
