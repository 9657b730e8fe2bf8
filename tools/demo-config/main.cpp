// demo-config <working file> <address:model,...>: makes the working file
// configure exactly those modules (model set, polled; every other module
// taken out) with channels whose alarms are shown, recorded, printed and
// sounded, and start polling by itself. An existing file keeps everything
// else; a new one takes the defaults of the database in the program folder
// (PLX2.cfg beside this tool), wherever the working file is. The file is
// written only when something changes. Exit 0 done, 1 refused or not
// written, 2 bad arguments.

#include "platform/AppIdentity.h"
#include "platform/Guard.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "tools/modsim/ModuleList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <map>

namespace {

QTextStream err(stderr);
QTextStream out(stdout);

const char* const kUsage = "usage: demo-config <working file> <address:model,...>  (address 1..64 once each, model 1..5)\n";

// Every alarm of the module's channels reaches the screen, the history, the
// printer and the horn.
void announceEverything(PanelClass& panel)
{
    for (int16_t k = 1; k <= panel.ChannelCount(); ++k) {
        ChannelClass& ch = *panel.Channel(k);
        ch.setScrAlm(true);
        ch.setHisto(true);
        ch.setPrtAlm(true);
        ch.setKlaxon(true);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && (args.at(1) == QLatin1String("-h") || args.at(1) == QLatin1String("--help"))) {
        out << kUsage;
        return 0;
    }
    if (args.size() != 3) {
        err << kUsage;
        return 2;
    }
    QString why;
    const auto list = modsim::parseModuleList(args.at(2), &why);
    if (!list) {
        err << "demo-config: " << why << "\n" << kUsage;
        return 2;
    }
    std::map<int, int> modules;
    for (const modsim::ModuleSpec& m : *list)
        modules[m.address] = m.model;

    plat::setErrorReporter([](const QString& name, const plat::RtError& e) {
        err << "error " << e.number() << " in " << name << ": " << e.description() << "\n";
        err.flush();
    });
    const QString file = QFileInfo(args.at(1)).absoluteFilePath();
    plat::AppIdentity::setProgramFolder(QCoreApplication::applicationDirPath());
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
    config.setModified(false);
    config.setAutoStart(true);
    for (int16_t address = 1; address <= ConfigClass::kModules; ++address) {
        PanelClass& panel = *config.Panel(address);
        const auto given = modules.find(address);
        if (given == modules.end()) {
            panel.setModel(0);
            panel.setActive(false);
            continue;
        }
        panel.setModel(uint8_t(given->second));
        panel.setActive(true);
        announceEverything(panel);
    }
    if (existed && !config.Modified()) {
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
