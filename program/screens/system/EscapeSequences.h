#pragma once
// The printer's eight escape sequences as the printer settings edit them:
// sequence 0 initialises the printer, sequences 1..7 switch colour and styles
// for a kind of printed line. Each has a code (the colour number, then the
// letters of its styles among B, I, U: "3BU") from which its bytes are built
// with a model file. A sequence holds only the model's non-empty values,
// joined by single blanks: an empty item would print a NUL byte.

#include "program/screens/system/PrinterModelFile.h"

#include <QString>

#include <array>

namespace EscapeSequences {

constexpr int Count = 8;
constexpr int Init = 0;
constexpr int FirstEditable = 1;
constexpr int LastEditable = Count - 1;
constexpr int NoColour = -1;

using Texts = std::array<QString, Count>;

// The colour of a code: the number its leading digits make, 0 for none;
// NoColour for a number no model defines (above 6).
int ColourOf(const QString& code);
// Whether the code asks for style k (0 B, 1 I, 2 U): its capital letter anywhere in it.
bool HasStyle(const QString& code, int k);

// The eight sequences for a model: sequence 0 its initialisation, every
// other one built from its code. The codes stay as they are.
Texts Build(const PrinterModelFile& model, const Texts& codes);

// The description of a code: its colour's name and its styles' names.
QString Describe(const QString& code);

// What the sequence dialog offers for a code: colour 0 always, another
// colour and each style when the model defines it; what is selected at the
// start (a colour not offered selects none).
struct Offer {
    std::array<bool, PrinterModelFile::ColourCount> colours{};
    int colour = NoColour;
    std::array<bool, PrinterModelFile::StyleCount> styles{};
    std::array<bool, PrinterModelFile::StyleCount> checked{};
};
Offer OfferFor(const PrinterModelFile& model, const QString& code);

// What the dialog's answer gives: the code and the sequence of the colour
// chosen (none chosen takes colour 0) and of the styles checked.
struct Edited {
    QString code;
    QString sequence;
};
Edited Answer(const PrinterModelFile& model, int colour,
              const std::array<bool, PrinterModelFile::StyleCount>& checked);

} // namespace EscapeSequences
