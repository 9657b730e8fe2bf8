#include "program/screens/system/PrinterSettings.h"

#include "platform/PrinterPort.h"
#include "platform/SerialPort.h"
#include "platform/Values.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/TextIds.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace PrinterSettings {

namespace {

const QString kParityLetters = QStringLiteral("NEO");
constexpr int kLastPort = 255;

// The number a port name gives after its three letters ("COM3" 3, "" 0).
QString portNumber(const QString& port)
{
    return QString::number(plat::Val(port.mid(3)));
}

QString orDesign(const QString& value, const QString& design)
{
    return value == Unknown ? design : value;
}

bool validPort(const QString& digits)
{
    const int n = digits.toInt();
    return n >= 1 && n <= kLastPort;
}

// The device a port opens, followed through links, so that two names of one
// device compare equal.
QString deviceOf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

SerialFields DesignFields()
{
    return {QStringLiteral("1"), QStringLiteral("9600"), ParityText(QStringLiteral("N")), QStringLiteral("8"),
            QStringLiteral("1")};
}

QString ParityText(const QString& letter)
{
    const QString l = letter.toUpper();
    const qsizetype at = l.isEmpty() ? -1 : kParityLetters.indexOf(l);
    return Config::GetText(TextIds::ParityFirst + int(at + 1));
}

QString ParityLetter(const QString& text)
{
    if (text == Config::GetText(TextIds::ParityFirst + 2))
        return QStringLiteral("E");
    if (text == Config::GetText(TextIds::ParityFirst + 3))
        return QStringLiteral("O");
    return QStringLiteral("N");
}

QString Make(const Fields& f)
{
    switch (f.kind) {
    case Com:
        return QStringLiteral("COM%1:%2,%3,%4,%5")
            .arg(f.serial[Port], f.serial[Speed], ParityLetter(f.serial[Parity]), f.serial[Bits], f.serial[Stop]);
    case Lpt:
        return QStringLiteral("LPT%1:").arg(f.lpt);
    default:
        return {};
    }
}

SerialFields Current(const QString& port, const QString& settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != FieldCount - 1)
        return {Unknown, Unknown, Unknown, Unknown, Unknown};
    return {portNumber(port), parts[0], ParityText(parts[1]), parts[2], parts[3]};
}

Fields Load(const QString& stored, const SerialFields& current)
{
    Fields f;
    if (stored.startsWith(QLatin1String("COM"))) {
        f.kind = Com;
        f.serial[Port] = portNumber(PortPart(stored));
        // A short text keeps the design values of the items it lacks.
        const QString items = SettingsPart(stored);
        const QStringList given = items.isEmpty() ? QStringList() : items.split(QLatin1Char(','));
        for (int i = 0; i < given.size() && i + 1 < FieldCount; ++i)
            f.serial[size_t(i + 1)] = i + 1 == Parity ? ParityText(given[i]) : given[i];
        return f;
    }
    const SerialFields design = DesignFields();
    for (int i = 0; i < FieldCount; ++i)
        f.serial[size_t(i)] = orDesign(current[size_t(i)], design[size_t(i)]);
    if (stored.startsWith(QLatin1String("LPT"))) {
        f.kind = Lpt;
        f.lpt = portNumber(stored);
    } else {
        f.kind = NoPrinter;
    }
    return f;
}

bool IsValid(const QString& text)
{
    static const QRegularExpression lpt(QStringLiteral("^LPT(\\d{1,3}):$"));
    static const QRegularExpression com(
        QStringLiteral("^COM(\\d{1,3}):(\\d{1,7}),[NEO],[5-8],(1|1\\.5|2)$"));
    if (text.isEmpty())
        return true;
    if (const auto m = lpt.match(text); m.hasMatch())
        return validPort(m.captured(1));
    if (const auto m = com.match(text); m.hasMatch())
        return validPort(m.captured(1)) && m.captured(2).toInt() > 0;
    return false;
}

QString PortPart(const QString& text)
{
    return text.section(QLatin1Char(':'), 0, 0);
}

QString SettingsPart(const QString& text)
{
    return text.section(QLatin1Char(':'), 1, 1);
}

bool OnBusDevice(const QString& text, int busPort)
{
    const QString printer = plat::PrinterPort::devicePath(PortPart(text));
    return !printer.isEmpty() && deviceOf(printer) == deviceOf(plat::SerialPort::devicePath(busPort));
}

Choice Choice::Of(const ConfigClass& config)
{
    Choice c{config.PrtSettings(), config.PrinterName(), {}, {}};
    for (int i = 0; i < EscapeSequences::Count; ++i) {
        c.codes[size_t(i)] = config.PrinterInitCode(i);
        c.sequences[size_t(i)] = config.PrinterInitString(i);
    }
    return c;
}

bool Choice::Differs(const ConfigClass& config) const
{
    const Choice stored = Of(config);
    // The model is found without regard to case, as its file is.
    return settings.toUpper() != stored.settings.toUpper() || model.compare(stored.model, Qt::CaseInsensitive) != 0
        || codes != stored.codes || sequences != stored.sequences;
}

void Choice::Store(ConfigClass& config) const
{
    config.setPrtSettings(settings);
    config.setPrinterName(model);
    for (int i = 0; i < EscapeSequences::Count; ++i) {
        config.setPrinterInitCode(i, codes[size_t(i)]);
        config.setPrinterInitString(i, sequences[size_t(i)]);
    }
}

} // namespace PrinterSettings
