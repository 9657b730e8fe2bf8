#include "tests/harness/TestSupport.h"

#include "platform/AppIdentity.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace testing_support {

QString programFolder()
{
    return plat::AppIdentity::programFolder();
}

QString binFolder()
{
    return QStringLiteral(PLX_BIN_DIR);
}

QString sourceFolder()
{
    return QStringLiteral(PLX_SOURCE_DIR);
}

QString renderToPng(QWidget* widget, const QString& name)
{
    const QString dir = QStringLiteral(PLX_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    if (!widget->testAttribute(Qt::WA_WState_Polished))
        widget->ensurePolished();
    widget->adjustSize();
    const QString path = dir + '/' + name + ".png";
    widget->grab().save(path, "PNG");
    return path;
}

} // namespace testing_support
