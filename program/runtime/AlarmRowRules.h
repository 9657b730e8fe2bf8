#pragma once
// The rules of the alarm list, apart from any window: which change an event
// makes to the list, the text and colour of a row, which row is selected
// after a new one, what an acknowledgement does to a row and whether it goes
// to the module, and how a row is saved while the screen is unloaded.
//
// A row holds the ID of the event that last wrote it (module, channel,
// parameter and code, eight bits each from the top); one row at most exists
// per module and channel.

#include <QString>
#include <QtGlobal>

#include <optional>

class ConfigClass;
class EventClass;

class AlarmRowRules {
public:
    // Row colours, 0x00BBGGRR.
    static constexpr unsigned int White = 0xFFFFFF;
    static constexpr unsigned int Red = 0x0000FF;
    static constexpr unsigned int Cyan = 0xFFFF00;
    static constexpr unsigned int LightGreen = 0x80FF80;
    static constexpr unsigned int LightBlue = 0xFF8080;
    static constexpr unsigned int Orange = 0x0080FF;
    static constexpr unsigned int Magenta = 0xFF00FF;
    static constexpr unsigned int Black = 0x000000;

    static int Panel(qint32 id) { return int((quint32(id) >> 24) & 0xFF); }
    static int Chnl(qint32 id) { return int((quint32(id) >> 16) & 0xFF); }
    static int Param(qint32 id) { return int((quint32(id) >> 8) & 0xFF); }
    static int Aff(qint32 id) { return int(quint32(id) & 0xFF); }
    // Rows of one module and channel share their key.
    static qint32 Key(qint32 id) { return qint32(quint32(id) >> 16); }

    static unsigned int RowColor(qint32 id);

    // What an event shown on the screen does to the list.
    enum class Change { Nothing, Remove, Update, Add };
    static Change ChangeFor(qint32 id, bool rowListed);
    // The row selected once a new row is on top: the new row for a first
    // fault or a module presence row, else the row selected before (now one
    // lower) when there was one; rows counts the new row.
    static int SelectionAfterAdd(qint32 id, int selectedBefore, int rows);

    // What acknowledging a row does: the row removed, repainted white or
    // kept, and whether the module's acknowledgement (register 67 := 2 and
    // the operator's acknowledgement event) is sent.
    enum class AckRow { Keep, Remove, PaintWhite };
    struct Acknowledgement {
        AckRow row = AckRow::Keep;
        bool send = false;
    };
    static Acknowledgement Acknowledge(qint32 rowData, int model);

    // The texts a row is built with besides the event and the configuration.
    struct Letters {
        QString panel;      // module prefix letter
        QString channel;    // channel prefix letter
        QString present;    // a module presence row, module back
        QString missing;    // a module presence row, module gone
    };
    // Number, date, time, module, then the module model and presence, or the
    // channel with its library and screen texts.
    static QString RowText(const EventClass& ev, const ConfigClass& config, const Letters& letters);

    // A row kept in "LastAlarms" while the screen is unloaded: the ID as
    // eight hexadecimal digits and the text, its line breaks as "|".
    static QString SavedValue(qint32 id, const QString& text);
    struct SavedRow {
        qint32 id = 0;
        QString text;
    };
    // Nothing for a value that does not start with eight hexadecimal digits.
    static std::optional<SavedRow> ReadSaved(const QString& value);
    // The row selected after a restore, from "Index" ("1" when missing): only
    // a row strictly between the first and the last; otherwise the last
    // restored row stays selected.
    static std::optional<int> RestoredSelection(const QString& index, int rows);
};
