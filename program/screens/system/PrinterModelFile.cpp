#include "program/screens/system/PrinterModelFile.h"

#include "platform/AppIdentity.h"
#include "platform/ProfileFile.h"
#include "program/core/Components.h"
#include "program/core/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kExtension = QStringLiteral(".prt");

QString programFolder()
{
    return plat::AppIdentity::programFolder();
}

QStringList modelFiles()
{
    // Name filters match without regard to case; the system lists the
    // folder in no order of its own.
    return QDir(programFolder()).entryList({QLatin1Char('*') + kExtension}, QDir::Files,
                                           QDir::Name | QDir::IgnoreCase);
}

// A file that holds control bytes other than line ends and tabs is no text:
// whatever a profile read would make of it is not a model's values.
bool isBinary(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\r' && b != '\n' && b != 0x1A;
    });
}

// The value as a sequence of bytes: its items joined by single blanks, or
// nothing when an item is no byte.
bool asBytes(const QString& value, QString& bytes)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    const QStringList items = value.split(blanks, Qt::SkipEmptyParts);
    for (const QString& item : items) {
        bool ok = false;
        if (!hex.match(item).hasMatch() || item.toUInt(&ok, 16) > 0xFF || !ok)
            return false;
    }
    bytes = items.join(QLatin1Char(' '));
    return true;
}

} // namespace

QStringList PrinterModelFile::Models()
{
    QStringList models;
    for (const QString& file : modelFiles())
        models << Components::FilesPaths().GetFileTitle(file);
    return models;
}

QString PrinterModelFile::FileOf(const QString& model)
{
    if (model.isEmpty())
        return {};
    const QString wanted = model + kExtension;
    for (const QString& file : modelFiles())
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return programFolder() + QLatin1Char('/') + file;
    return {};
}

PrinterModelFile::PrinterModelFile(const QString& model) : m_path(FileOf(model))
{
    if (!Exists())
        return;
    m_binary = isBinary(m_path);
    if (m_binary)
        return;
    m_init = read(QStringLiteral("Reset"), QStringLiteral("Init"));
    for (int c = 0; c < ColourCount; ++c)
        m_colours[size_t(c)] = read(QStringLiteral("Colors"), QString::number(c));
    for (int k = 0; k < StyleCount; ++k)
        m_styles[size_t(k)] = read(QStringLiteral("Styles"), QString(QLatin1Char(StyleLetters[size_t(k)])));
}

QString PrinterModelFile::read(const QString& section, const QString& key)
{
    QString value = plat::ProfileFile::value(section, key, m_path).value_or(QString());
    if (const qsizetype nul = value.indexOf(QChar(0)); nul >= 0)
        value.truncate(nul);
    QString bytes;
    // A value the profile read would cut is as bad as one with a wrong item.
    if (value.size() > ValueMax || !asBytes(value, bytes)) {
        m_bad << QStringLiteral("[%1] %2").arg(section, key);
        return {};
    }
    return bytes;
}

QString PrinterModelFile::Colour(int c) const
{
    return c >= 0 && c < ColourCount ? m_colours[size_t(c)] : QString();
}

QString PrinterModelFile::Style(int k) const
{
    return k >= 0 && k < StyleCount ? m_styles[size_t(k)] : QString();
}

QString PrinterModelFile::Problem() const
{
    const QString file = QFileInfo(m_path).fileName();
    if (m_binary)
        return Config::GetText(430131).replace(QLatin1Char('$'), file);
    if (m_bad.isEmpty())
        return {};
    return Config::GetText(430130).replace(QLatin1Char('$'), file) + QStringLiteral("\r\n")
        + m_bad.join(QStringLiteral(", "));
}
