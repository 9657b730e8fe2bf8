#pragma once
// The event printer's settings text, "COM<n>:<speed>,<parity>,<bits>,<stop>",
// "LPT<n>:" or "" for no printer, as the printer settings screen shows and
// builds it: the port kind, the LPT number and the five serial fields, each a
// caption; the serial settings the live printer uses, shown beside them; the
// check that a text can drive a printer; and the whole choice of a printer
// (settings, model, the eight codes and sequences) as the configuration keeps it.

#include "program/screens/system/EscapeSequences.h"

#include <QString>

#include <array>

class ConfigClass;

namespace PrinterSettings {

enum Kind { NoPrinter = 0, Lpt = 1, Com = 2, NoKind = -1 };

// The serial fields, in the order the screen steps through them.
enum Field { Port = 0, Speed, Parity, Bits, Stop };
constexpr int FieldCount = 5;
using SerialFields = std::array<QString, FieldCount>;

// Shown for a setting of the live printer that its settings do not give.
inline const QString Unknown = QStringLiteral("?????");

// The fields as the screen is designed: port 1, 9600 baud, no parity, 8 data bits, 1 stop bit.
SerialFields DesignFields();
inline const QString DesignLptPort = QStringLiteral("1");

struct Fields {
    int kind = NoKind;
    QString lpt = DesignLptPort;
    SerialFields serial = DesignFields();
};

// The parity's name for a letter (by its place in "NEO"; "unknown" for another letter).
QString ParityText(const QString& letter);
// The letter of a parity name: E, O, or N for any other name.
QString ParityLetter(const QString& text);

// The settings text of the fields.
QString Make(const Fields& fields);
// The live printer's port and settings as serial fields: all Unknown unless
// its settings have four items.
SerialFields Current(const QString& port, const QString& settings);
// The fields of a stored settings text. For an LPT port or no printer, the
// serial fields take the live printer's values, and a field it does not give
// its design value; a COM text gives its own, and a short one keeps the
// design values of the items it lacks. Only "COM..." and "LPT..." in
// capitals are ports.
Fields Load(const QString& stored, const SerialFields& current);

// Whether the text can drive a printer: no printer, LPT1..255, or COM1..255
// with a speed, a parity N, E or O, 5 to 8 data bits and 1, 1.5 or 2 stop bits.
bool IsValid(const QString& text);
// The port and settings parts of a text (a missing part is empty).
QString PortPart(const QString& text);
QString SettingsPart(const QString& text);
// Whether the text's port is the device of the bus port: a printer opened on
// it would take the bus line from under the engine.
bool OnBusDevice(const QString& text, int busPort);

// A printer as the configuration keeps it.
struct Choice {
    QString settings;
    QString model;
    EscapeSequences::Texts codes;
    EscapeSequences::Texts sequences;

    static Choice Of(const ConfigClass& config);
    // Whether storing it would change the configuration (settings and model
    // compared without regard to case).
    bool Differs(const ConfigClass& config) const;
    void Store(ConfigClass& config) const;
};

} // namespace PrinterSettings
