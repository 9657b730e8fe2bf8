#include "tests/harness/TestSupport.h"

#include "platform/AppIdentity.h"
#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/RtError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTimer>
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

int errorOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const plat::RtError& e) {
        return e.number();
    }
    return 0;
}

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = plat::Cp1252::decode(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
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

QStringList visibleForms()
{
    QStringList names;
    for (plat::Form* f : plat::Forms::All())
        if (f->isVisible())
            names << f->Name();
    return names;
}

std::shared_ptr<bool> whenShown(const QString& formName, std::function<void(plat::Form*)> act, int timeoutMs)
{
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(5);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        for (plat::Form* f : plat::Forms::All()) {
            if (f->Name() == formName && f->isVisible()) {
                timer->stop();
                timer->deleteLater();
                *ran = true;
                act(f);
                return;
            }
        }
        if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            for (plat::Form* f : plat::Forms::All())
                if (f->IsModal())
                    plat::Forms::Unload(f);
        }
    });
    timer->start();
    return ran;
}

} // namespace testing_support
