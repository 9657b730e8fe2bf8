#include "program/screens/system/LanguageHelp.h"

#include "platform/AppIdentity.h"

#include <QFileInfo>

namespace LanguageHelp {

QString FileName(const QString& languageName)
{
    return plat::AppIdentity::programFolder() + QLatin1Char('/') + plat::AppIdentity::exeBaseName()
        + QLatin1Char('-') + languageName.left(2).toLower() + QStringLiteral(".chm");
}

QString FileFor(const QString& languageName, const QString& firstLanguageName)
{
    for (const QString& name : {languageName, firstLanguageName}) {
        const QString file = FileName(name);
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

} // namespace LanguageHelp
