#include "platform/FileManager.h"

#include <QDesktopServices>
#include <QUrl>

namespace plat::FileManager {

namespace {

bool desktopOpener(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

Opener& opener()
{
    static Opener o = desktopOpener;
    return o;
}

} // namespace

void setOpener(Opener o)
{
    opener() = o ? std::move(o) : Opener(desktopOpener);
}

bool open(const QString& folder)
{
    return opener()(folder);
}

} // namespace plat::FileManager
