#include "platform/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QUrl>

namespace plat::Help {

namespace {

QString& file()
{
    static QString f;
    return f;
}

void desktopOpener(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

Opener& opener()
{
    static Opener o = desktopOpener;
    return o;
}

// Sees every key press of the application before the focused control does.
class F1Filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && !file().isEmpty()) {
                open();
                return true;
            }
        }
        return false;
    }
};

void installFilter()
{
    static F1Filter* filter = nullptr;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new F1Filter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

} // namespace

void setHelpFile(const QString& path)
{
    file() = path;
    if (!path.isEmpty())
        installFilter();
}

QString helpFile()
{
    return file();
}

void setOpener(Opener o)
{
    opener() = o ? std::move(o) : Opener(desktopOpener);
}

bool open()
{
    if (file().isEmpty())
        return false;
    opener()(file());
    return true;
}

} // namespace plat::Help
