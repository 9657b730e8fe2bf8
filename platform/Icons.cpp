#include "platform/Icons.h"

#include "platform/Theme.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The icons are compiled into the static platform library: register them
// before the first use.
static void initPlatformIcons()
{
    Q_INIT_RESOURCE(platformicons);
}

namespace plat::Icons {

QByteArray svg(const QString& name)
{
    static const bool registered = (initPlatformIcons(), true);
    (void)registered;
    QFile file(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = file.readAll();
    text.replace("@text@", Theme::text().name().toLatin1());
    text.replace("@accentdark@", Theme::accent().darker(125).name().toLatin1());
    text.replace("@accent@", Theme::accent().name().toLatin1());
    text.replace("@border@", Theme::buttonBorder().name().toLatin1());
    return text;
}

QPixmap pixmap(const QString& name, const QSize& size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QSvgRenderer renderer(svg(name));
    QPainter painter(&pm);
    renderer.render(&painter);
    return pm;
}

} // namespace plat::Icons
