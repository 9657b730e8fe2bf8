// cfgdump <file>: the header, settings, users (without their codes), modules
// with their channels, texts and mirrors of a configuration file. A refused
// file is named in one line with its result, the byte offset and the reason;
// exit 1. Bad arguments: exit 2.

#include "platform/Guard.h"
#include "program/core/ConfigClass.h"
#include "program/core/Global.h"
#include "program/core/Limits.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QTextStream out(stdout);

// A text in quotes, control characters shown as \xNN.
QString shown(const QString& text)
{
    QString s = QStringLiteral("\"");
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'\x7f')
            s += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else if (c == u'"' || c == u'\\')
            s += QStringLiteral("\\") + c;
        else
            s += c;
    }
    return s + u'"';
}

// A fixed text without its padding; "" when never assigned.
QString unpadded(QString text)
{
    while (!text.isEmpty() && (text.endsWith(u' ') || text.endsWith(QChar(0))))
        text.chop(1);
    return text;
}

QString yesNo(bool v)
{
    return v ? QStringLiteral("yes") : QStringLiteral("no");
}

QString resultText(int result)
{
    switch (result) {
    case ConfigFile::kReadFailed: return QStringLiteral("20001 reading failed");
    case ConfigFile::kNotConfigFile: return QStringLiteral("20003 not a configuration file of this program");
    case ConfigFile::kNewerVersion: return QStringLiteral("20004 file from a newer version");
    default: return QString::number(result);
    }
}

QString mask(const ConfigClass& c, bool (ConfigClass::*bit)(int32_t) const)
{
    QString s;
    for (int b = 7; b >= 0; --b)
        s += (c.*bit)(b) ? u'1' : u'0';
    return s;
}

bool isDefault(const ChannelClass& ch)
{
    const ChannelClass fresh;
    return ch.ScreenText() == fresh.ScreenText() && ch.PrintText() == fresh.PrintText() &&
           ch.HelpNum() == fresh.HelpNum() && ch.BibNum() == fresh.BibNum() && ch.ScrAlm() == fresh.ScrAlm() &&
           ch.PrtAlm() == fresh.PrtAlm() && ch.Histo() == fresh.Histo() && ch.Klaxon() == fresh.Klaxon() &&
           ch.AlmPrio() == fresh.AlmPrio() && ch.React() == fresh.React() && ch.ReactTpo() == fresh.ReactTpo() &&
           ch.TypeImp() == fresh.TypeImp();
}

QString place(int module, int channel)
{
    return channel == 0 ? QStringLiteral("module %1").arg(module)
                        : QStringLiteral("module %1 channel %2").arg(module).arg(channel);
}

void dump(const ConfigClass& c, const QString& path)
{
    const ConfigFile::Report& r = c.LastRead();
    out << "File " << path << " (" << r.size << " bytes)\n";
    out << "Header: title " << shown(r.title) << ", version " << r.major << "." << r.minor << " revision "
        << r.revision << " (version text " << ConfigFile::versionText(r.major, r.minor) << "), " << r.soundCount
        << " alarm sounds, scramble key " << r.scrambleKey << "\n";

    out << "\nSettings\n";
    out << "  Bus settings:        " << shown(c.BusSettings()) << "\n";
    out << "  Printer settings:    " << shown(c.PrtSettings()) << "\n";
    out << "  Automatic start:     " << yesNo(c.AutoStart()) << "\n";
    out << "  Print bus result:    " << yesNo(c.PrintBusResult()) << "\n";
    // Priority 0 as the file holds it: the configuration has no priority 0.
    out << "  Alarm sounds:        0=" << r.sounds.value(0);
    for (int p = Limits::FirstPriority; p <= Limits::LastPriority; ++p)
        out << " " << p << "=" << c.AlarmPrioSound(p);
    out << "\n";
    out << "  Option masks (bits 7..0): screen " << mask(c, &ConfigClass::OptionScreen) << ", horn "
        << mask(c, &ConfigClass::OptionKlaxon) << ", printer " << mask(c, &ConfigClass::OptionPrinter)
        << ", history " << mask(c, &ConfigClass::OptionHisto) << "\n";
    out << "  Users:               " << c.UserCount() << "\n";
    for (int u = 1; u <= c.UserCount(); ++u)
        out << "    " << u << ": " << shown(c.UserName(u)) << ", level " << c.UserLevel(u) << "\n";
    out << "  Printer name:        " << shown(c.PrinterName()) << "\n";
    out << "  Printed line length: " << c.PrintMaxLen() << "\n";
    for (int i = 0; i < ConfigFile::kPrinterInitCount; ++i)
        if (!c.PrinterInitString(i).isEmpty() || !c.PrinterInitCode(i).isEmpty())
            out << "  Printer init " << i << ": string " << shown(c.PrinterInitString(i)) << ", code "
                << shown(c.PrinterInitCode(i)) << "\n";
    out << "  Inactivity time:     " << c.InactivityTime() << " min\n";
    out << "  Settings end at offset " << r.settingsEnd << ", modules start at offset " << r.bodyOffset << "\n";

    out << "\nModules\n";
    for (int m = 1; m <= ConfigClass::kModules; ++m) {
        const auto p = c.Panel(m);
        int changed = 0;
        for (int k = 1; k <= PanelClass::kChannels; ++k)
            changed += isDefault(*p->Channel(k)) ? 0 : 1;
        if (p->Model() == 0 && p->Title().isEmpty() && !p->Active() && changed == 0 && p->Numero() == m)
            continue;
        out << "  Module " << m << ": number " << p->Numero() << ", model " << p->Model() << " "
            << Global::ModuleName(p->Model()) << ", title " << shown(p->Title()) << ", colour 0x"
            << QString::number(uint32_t(p->TitleColor()), 16).rightJustified(6, u'0') << ", active "
            << yesNo(p->Active()) << "\n";
        for (int k = 1; k <= PanelClass::kChannels; ++k) {
            const auto ch = p->Channel(k);
            if (isDefault(*ch))
                continue;
            out << "    Channel " << k << ": screen " << shown(ch->ScreenText()) << ", print "
                << shown(ch->PrintText()) << ", priority " << ch->AlmPrio() << ", library " << ch->BibNum()
                << ", instruction " << ch->HelpNum() << ", alarm screen " << yesNo(ch->ScrAlm()) << ", printer "
                << yesNo(ch->PrtAlm()) << ", history " << yesNo(ch->Histo()) << ", horn " << yesNo(ch->Klaxon())
                << ", re-announce " << yesNo(ch->React()) << " (delay code " << ch->ReactTpo() << "), print type "
                << ch->TypeImp() << "\n";
        }
    }
    out << "  (modules not listed: no model, no title, inactive, default channels)\n";

    out << "\nLibrary texts (from offset " << r.textsOffset << ")\n";
    for (int i = 1; i <= Limits::LibraryTexts; ++i)
        if (!unpadded(c.Biblio(i)).isEmpty())
            out << "  " << i << ": " << shown(unpadded(c.Biblio(i))) << "\n";
    out << "Instruction texts\n";
    for (int i = 1; i <= Limits::InstructionTexts; ++i)
        if (!unpadded(c.Consigne(i)).isEmpty())
            out << "  " << i << ": " << shown(unpadded(c.Consigne(i))) << "\n";

    const auto mirrors = c.Mirrors();
    out << "\nMirrors (from offset " << r.mirrorsOffset << "): " << mirrors->Count() << "\n";
    int i = 0;
    for (const auto& mi : *mirrors)
        out << "  " << ++i << ": " << mi->ID() << ", type " << mi->MirrorType() << ", "
            << place(mi->FromModule(), mi->FromChannel()) << " -> " << place(mi->ToModule(), mi->ToChannel())
            << "\n";
    if (r.end < r.size)
        out << "\nNote: " << (r.size - r.end) << " bytes after the last mirror (offset " << r.end
            << ") are ignored\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const char* const usage = "usage: cfgdump <configuration file>   (a .dat or .px2 file, shown in readable form)\n";
    if (args.size() == 2 && (args.at(1) == QLatin1String("-h") || args.at(1) == QLatin1String("--help"))) {
        out << usage;
        return 0;
    }
    if (args.size() != 2 || args.at(1).startsWith(u'-')) {
        QTextStream(stderr) << usage;
        return 2;
    }
    plat::setErrorReporter([](const QString& name, const plat::RtError& e) {
        QTextStream(stderr) << "error " << e.number() << " in " << name << ": " << e.description() << "\n";
    });
    // The file's own values only: no defaults from the database.
    ConfigClass config([](int) { return QString(); });
    const int result = config.Read(args.at(1));
    if (result != ConfigFile::kReadOk) {
        const ConfigFile::Report& r = config.LastRead();
        out << "Refused: " << args.at(1) << ": " << resultText(result) << ", at offset " << r.offset << " of "
            << r.size << " bytes: " << r.reason << "\n";
        return 1;
    }
    dump(config, args.at(1));
    return 0;
}
