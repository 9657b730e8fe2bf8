#include "program/screens/system/EscapeSequences.h"

#include "program/core/Config.h"
#include "program/core/TextIds.h"

#include <QStringList>

namespace EscapeSequences {

namespace {

QString join(const QStringList& values)
{
    QStringList parts;
    for (const QString& v : values)
        if (!v.isEmpty())
            parts << v;
    return parts.join(QLatin1Char(' '));
}

QString sequenceOf(const PrinterModelFile& model, int colour,
                   const std::array<bool, PrinterModelFile::StyleCount>& styles)
{
    QStringList values{model.Colour(colour)};
    for (int k = 0; k < PrinterModelFile::StyleCount; ++k)
        if (styles[size_t(k)])
            values << model.Style(k);
    return join(values);
}

std::array<bool, PrinterModelFile::StyleCount> stylesOf(const QString& code)
{
    std::array<bool, PrinterModelFile::StyleCount> styles{};
    for (int k = 0; k < PrinterModelFile::StyleCount; ++k)
        styles[size_t(k)] = HasStyle(code, k);
    return styles;
}

} // namespace

int ColourOf(const QString& code)
{
    int colour = 0;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        colour = colour * 10 + (c.unicode() - '0');
        if (colour >= PrinterModelFile::ColourCount)
            return NoColour;
    }
    return colour;
}

bool HasStyle(const QString& code, int k)
{
    return k >= 0 && k < PrinterModelFile::StyleCount
        && code.contains(QLatin1Char(PrinterModelFile::StyleLetters[size_t(k)]), Qt::CaseSensitive);
}

Texts Build(const PrinterModelFile& model, const Texts& codes)
{
    Texts sequences;
    sequences[Init] = model.Init();
    for (int i = FirstEditable; i <= LastEditable; ++i)
        sequences[size_t(i)] = sequenceOf(model, ColourOf(codes[size_t(i)]), stylesOf(codes[size_t(i)]));
    return sequences;
}

QString Describe(const QString& code)
{
    QStringList names;
    const int colour = ColourOf(code);
    if (colour != NoColour)
        names << Config::GetText(TextIds::PrinterColourFirst + colour);
    for (int k = 0; k < PrinterModelFile::StyleCount; ++k)
        if (HasStyle(code, k))
            names << Config::GetText(TextIds::PrinterStyleFirst + k);
    return names.join(QLatin1Char(' '));
}

Offer OfferFor(const PrinterModelFile& model, const QString& code)
{
    Offer offer;
    for (int c = 0; c < PrinterModelFile::ColourCount; ++c)
        offer.colours[size_t(c)] = c == 0 || model.ColourDefined(c);
    const int colour = ColourOf(code);
    if (colour != NoColour && offer.colours[size_t(colour)])
        offer.colour = colour;
    for (int k = 0; k < PrinterModelFile::StyleCount; ++k) {
        offer.styles[size_t(k)] = model.StyleDefined(k);
        offer.checked[size_t(k)] = offer.styles[size_t(k)] && HasStyle(code, k);
    }
    return offer;
}

Edited Answer(const PrinterModelFile& model, int colour,
              const std::array<bool, PrinterModelFile::StyleCount>& checked)
{
    if (colour < 0 || colour >= PrinterModelFile::ColourCount)
        colour = 0;
    Edited edited{QString::number(colour), sequenceOf(model, colour, checked)};
    for (int k = 0; k < PrinterModelFile::StyleCount; ++k)
        if (checked[size_t(k)])
            edited.code += QLatin1Char(PrinterModelFile::StyleLetters[size_t(k)]);
    return edited;
}

} // namespace EscapeSequences
