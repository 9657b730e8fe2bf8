#pragma once
// The colour choice of the common dialog: the caller sets Color, shows the
// dialog and reads Color back, which stays as it was when the operator
// cancels. Colours are 0x00BBGGRR, as the configuration stores them. Tests
// put a chooser of their own in place of the system's dialog.

#include <QColor>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace plat {

class ColorDialog {
public:
    // The chosen colour, or nothing when the operator cancelled.
    using Chooser = std::function<std::optional<QColor>(const QColor& initial, QWidget* owner)>;
    // An empty chooser restores the system's dialog.
    static void setChooser(Chooser chooser);

    int32_t Color() const { return m_color; }
    void setColor(int32_t bgr) { m_color = bgr; }
    // Shows the dialog modally over owner.
    void ShowColor(QWidget* owner);

private:
    int32_t m_color = 0;
};

} // namespace plat
