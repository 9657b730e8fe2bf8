#pragma once
// A printer model file: "<model>.prt" in the program folder, an INI text that
// lists the byte sequences one printer model understands: [Reset] Init, the
// colours [Colors] 0..6 and the styles [Styles] B, I, U, each as hexadecimal
// bytes separated by blanks. Values are read as profile values (trimmed, a
// missing file, section or key reads as empty).
//
// Only bytes reach a sequence: a value with an item that is no byte 00..FF,
// or one longer than a profile read returns, counts as undefined, and so does
// every value of a file that is no text; Problem() then names what was left
// out, for one message. Blanks between items are taken as single blanks, so
// no value carries an empty item.

#include <QString>
#include <QStringList>

#include <array>

class PrinterModelFile {
public:
    static constexpr int ColourCount = 7;
    static constexpr int StyleCount = 3;
    // The style letters, in the order a code and a sequence take them.
    static constexpr std::array<char, StyleCount> StyleLetters{'B', 'I', 'U'};
    // The longest value a profile read returns.
    static constexpr qsizetype ValueMax = 1023;

    // The models of the program folder: every "*.prt" file's name without
    // its extension, matched and sorted without regard to case.
    static QStringList Models();
    // The path of a model's file (its name matched without regard to case);
    // "" when there is none.
    static QString FileOf(const QString& model);

    // Reads the model's file; a missing file leaves every value empty.
    explicit PrinterModelFile(const QString& model);

    bool Exists() const { return !m_path.isEmpty(); }
    QString Init() const { return m_init; }
    // The value of colour c (0..6); "" for a colour the file does not define.
    QString Colour(int c) const;
    bool ColourDefined(int c) const { return !Colour(c).isEmpty(); }
    // The value of style k (0 B, 1 I, 2 U).
    QString Style(int k) const;
    bool StyleDefined(int k) const { return !Style(k).isEmpty(); }

    // What of the file is not used and why, for one message; "" when all is used.
    QString Problem() const;

private:
    QString read(const QString& section, const QString& key);

    QString m_path;
    bool m_binary = false;
    QStringList m_bad;
    QString m_init;
    std::array<QString, ColourCount> m_colours;
    std::array<QString, StyleCount> m_styles;
};
