#include "platform/AppIdentity.h"

#include <QFileInfo>

namespace plat::AppIdentity {

namespace {
QString& folderOverride()
{
    static QString s;
    return s;
}
QString& nameOverride()
{
    static QString s;
    return s;
}
QFileInfo executable()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}
} // namespace

QString programFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return executable().absolutePath();
}

QString exeBaseName()
{
    if (!nameOverride().isEmpty())
        return nameOverride();
    return executable().completeBaseName();
}

QString programFile(const QString& extension)
{
    return programFolder() + '/' + exeBaseName() + extension;
}

void setProgramFolder(const QString& folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith('/'))
        f.chop(1);
    folderOverride() = f;
}

void setExeBaseName(const QString& name)
{
    nameOverride() = name;
}

} // namespace plat::AppIdentity
