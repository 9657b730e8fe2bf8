// demo-config <working file> <address:model,...>: makes the working file
// configure those modules (model set, polled) and start polling by itself.
// An existing file keeps everything else; a new one takes the database's
// defaults (PLX2.cfg beside the working file). The file is written only when
// something changes. Exit 0 done, 1 refused or not written, 2 bad arguments.

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <utility>
#include <vector>

namespace {

QTextStream err(stderr);
QTextStream out(stdout);

bool parseModules(const QString& text, std::vector<std::pair<int, int>>& modules)
{
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList p = item.trimmed().split(QLatin1Char(':'));
        bool okAddress = false;
        bool okModel = false;
        const int address = p.value(0).toInt(&okAddress);
        const int model = p.value(1).toInt(&okModel);
        if (p.size() != 2 || !okAddress || !okModel || address < 1 || address > ConfigClass::kModules || model < 1
            || model > 5)
            return false;
        modules.emplace_back(address, model);
    }
    return !modules.empty();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    std::vector<std::pair<int, int>> modules;
    if (args.size() != 3 || !parseModules(args.at(2), modules)) {
        err << "usage: demo-config <working file> <address:model,...>  (address 1..64, model 1..5)\n";
        return 2;
    }
    plat::setErrorReporter([](const QString& name, const plat::RtError& e) {
        err << "error " << e.number() << " in " << name << ": " << e.description() << "\n";
        err.flush();
    });
    const QString file = QFileInfo(args.at(1)).absoluteFilePath();
    // The database's defaults come from the program folder the file lives in.
    plat::AppIdentity::setProgramFolder(QFileInfo(file).absolutePath());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    if (!Config::OpenConfigBase()) {
        err << "demo-config: cannot open " << plat::AppIdentity::programFile(QStringLiteral(".cfg")) << "\n";
        return 1;
    }

    ConfigClass config;
    const bool existed = QFile::exists(file);
    if (existed && config.Read(file) != 0) {
        err << "demo-config: " << file << " is not a working file this program reads; left as it is\n";
        return 1;
    }
    int changes = existed ? 0 : 1;
    if (!config.AutoStart()) {
        config.setAutoStart(true);
        ++changes;
    }
    for (const auto& [address, model] : modules) {
        PanelClass& panel = *config.Panel(qint16(address));
        if (panel.Model() != model || !panel.Active()) {
            panel.setModel(model);
            panel.setActive(true);
            ++changes;
        }
    }
    if (changes == 0) {
        out << file << ": already configured\n";
        return 0;
    }
    if (config.Save(file) != -1) {
        err << "demo-config: cannot write " << file << "\n";
        return 1;
    }
    out << file << ": " << modules.size() << " modules, polling from the start\n";
    return 0;
}
