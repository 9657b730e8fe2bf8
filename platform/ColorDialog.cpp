#include "platform/ColorDialog.h"

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

int32_t ColorDialog::toBgr(const QColor& c)
{
    return int32_t(c.red() | (c.green() << 8) | (c.blue() << 16));
}

void ColorDialog::ShowColor(QWidget* owner)
{
    const QColor initial = Theme::fromBgr(uint32_t(m_color));
    std::optional<QColor> chosen;
    if (installed()) {
        chosen = installed()(initial, owner);
    } else {
        const QColor c = QColorDialog::getColor(initial, owner);
        if (c.isValid())
            chosen = c;
    }
    if (chosen && chosen->isValid())
        m_color = toBgr(*chosen);
}

} // namespace plat
