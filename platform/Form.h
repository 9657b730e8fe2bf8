#pragma once
// A form: a top-level window of the program with a fixed life cycle
// (load, activate, query-unload, unload), shown modal or modeless, one
// instance per name unless created as an extra instance. Forms are created,
// found and unloaded through the registry of Forms.h. Unloading a form first
// closes, as cancelled, the modal forms and the dialogs (choosers) standing
// over it, so that the code that asked them goes no further.

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class QEventLoop;

namespace plat {

// Why a form is being unloaded (passed to Form_QueryUnload).
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    QString Name() const { return objectName(); }

    // Life cycle hooks, in the order they run. Form_QueryUnload answers
    // true to refuse the unload.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual bool Form_QueryUnload(UnloadMode mode) { return false; }
    virtual void Form_Unload() {}
    // Sets every caption whose control carries a numeric tag (see Captions.h).
    virtual void Nationality();

    // Shows the form; modal runs a nested loop until the form is hidden or unloaded.
    void Show(bool modal = false, QWidget* owner = nullptr);
    void Hide();
    // Puts the window in front of the program's other windows, without taking
    // the activation from the one that has it.
    void ZOrder();
    bool Visible() const { return isVisible(); }
    bool IsModal() const { return m_modalLoop != nullptr; }
    // True once the form has been unloaded (it is deleted later, once no
    // nested loop runs: see NestedLoop.h).
    bool IsUnloaded() const { return m_unloaded; }

    // A notice (a message shown without waiting) stays up until its own
    // button closes it: the clearing of the screens, for an alarm, another
    // screen or a logout, leaves it (Forms::Screens); only the program's end
    // unloads it with the rest.
    void setNotice(bool on) { m_notice = on; }
    bool IsNotice() const { return m_notice; }

    // A dialog opens centred on its owner (the active window when none is
    // given, else the screen) and with the caret in its first text field
    // (Form_Activate may choose another), each time it is shown, whether or
    // not a window manager places and activates it.
    void setDialog(bool on) { m_dialog = on; }
    bool IsDialog() const { return m_dialog; }
    // A dialog that its caller places over a control of its own opens there
    // (the top left corner of its frame, in screen pixels) instead of
    // centred, each time it is shown.
    void placeDialogAt(const QPoint& topLeft) { m_placeAt = topLeft; }

    // Topmost band: kept above every other window while set.
    void setTopmost(bool on);
    bool Topmost() const;

    // Geometry in twips (15 to a pixel), the unit of the screens' layouts.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width = -1, int height = -1);

signals:
    void unloaded(plat::Form* form);

protected:
    // Centres the form on the owner it was last shown with (see setDialog),
    // within the screen; for a dialog that changes its size.
    void centreOnOwner();

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class FormsRegistry;
    bool doUnload(UnloadMode mode, bool force);
    // Closes, as cancelled, the modal forms and the dialogs standing over this form.
    void cancelWaitsOver();
    // The form an object belongs to (the nearest form among its parents).
    static Form* formOf(const QObject* obj);
    // Back to a window of its own, no longer stacked over its owner.
    void leaveOwner();

    // The first visible, enabled text field in focus order gets the focus.
    void focusFirstField();

    QEventLoop* m_modalLoop = nullptr;
    QPointer<QWidget> m_owner;
    bool m_dialog = false;
    std::optional<QPoint> m_placeAt;
    bool m_unloaded = false;
    bool m_unloading = false;
    bool m_notice = false;
    bool m_loaded = false;
};

constexpr int kTwipsPerPixel = 15;

} // namespace plat
