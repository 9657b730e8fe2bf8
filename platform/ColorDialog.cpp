#include "platform/ColorDialog.h"

#include "platform/NestedLoop.h"
#include "platform/Theme.h"

#include <QColorDialog>

namespace plat {

namespace {
ColorDialog::Chooser& installed()
{
    static ColorDialog::Chooser c;
    return c;
}
} // namespace

void ColorDialog::setChooser(Chooser chooser)
{
    installed() = std::move(chooser);
}

void ColorDialog::ShowColor(QWidget* owner)
{
    const QColor initial = Theme::fromBgr(uint32_t(m_color));
    std::optional<QColor> chosen;
    const NestedLoop waiting;
    if (installed()) {
        chosen = installed()(initial, owner);
    } else {
        const QColor c = QColorDialog::getColor(initial, owner);
        if (c.isValid())
            chosen = c;
    }
    if (chosen && chosen->isValid())
        m_color = int32_t(Theme::toBgr(*chosen));
}

} // namespace plat
