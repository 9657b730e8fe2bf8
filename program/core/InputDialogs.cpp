#include "program/core/InputDialogs.h"

#include "platform/Forms.h"
#include "platform/Theme.h"
#include "program/core/dlgKeyboard.h"
#include "program/core/dlgListInput.h"

namespace InputDialogs {

void registerForms()
{
    plat::Forms::registerForm(QStringLiteral("dlgListInput"), [] { return new dlgListInput; });
    plat::Forms::registerForm(QStringLiteral("dlgKeyboard"), [] { return new dlgKeyboard; });
}

QByteArray icon(Icon which)
{
    // Strokes in the text colour; confirming in the accent colour.
    const QByteArray ink = plat::Theme::text().name().toLatin1();
    const QByteArray accent = plat::Theme::accent().name().toLatin1();
    QByteArray body;
    switch (which) {
    case Icon::Up:
        body = "<path d='M10 32 L24 16 L38 32' fill='none' stroke='" + ink
            + "' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/>";
        break;
    case Icon::Down:
        body = "<path d='M10 16 L24 32 L38 16' fill='none' stroke='" + ink
            + "' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/>";
        break;
    case Icon::Ok:
        body = "<path d='M9 25 L20 36 L40 13' fill='none' stroke='" + accent
            + "' stroke-width='6' stroke-linecap='round' stroke-linejoin='round'/>";
        break;
    case Icon::Cancel:
        body = "<path d='M13 13 L35 35 M35 13 L13 35' fill='none' stroke='" + ink
            + "' stroke-width='5' stroke-linecap='round'/>";
        break;
    case Icon::LineBreak:
        body = "<path d='M38 10 L38 28 L12 28' fill='none' stroke='" + ink
            + "' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/>"
              "<path d='M20 19 L11 28 L20 37' fill='none' stroke='" + ink
            + "' stroke-width='5' stroke-linecap='round' stroke-linejoin='round'/>";
        break;
    }
    return "<svg xmlns='http://www.w3.org/2000/svg' width='48' height='48' viewBox='0 0 48 48'>" + body + "</svg>";
}

} // namespace InputDialogs
