#pragma once
// The fourteen parameter rows of the module editor: the module title, the
// channel number and twelve settings of that channel. Each row has a picker
// list (the value picker's grammar, or "" for the keyboard), the caption a
// stored value is shown as, and the value a caption is written back as.

#include <QString>

class ChannelClass;

namespace ParamRows {

constexpr int Count = 14;
enum Row {
    Title = 0,
    ChannelNo = 1,
    ScrAlm = 2,
    PrtAlm = 3,
    TypeImp = 4,
    Klaxon = 5,
    AlmPrio = 6,
    Histo = 7,
    BibNum = 8,
    HelpNum = 9,
    React = 10,
    ReactTpo = 11,
    ScreenText = 12,
    PrintText = 13,
};
// The first row of the channel's own settings.
constexpr int FirstChannelRow = ScrAlm;
// The texts typed on the keyboard are at most this long.
constexpr int KeyboardMaxLength = 40;

// The text id of the row's name.
int NameText(int row);
// The row's picker list; channelCount bounds the channel number row.
QString Tag(int row, int channelCount);
// The caption of a stored value (rows 2..13).
QString Shown(int row, const ChannelClass& channel);
// Writes a caption back into the channel (rows 2..13) through its setters,
// so only a value that changes marks it.
void WriteBack(int row, const QString& caption, ChannelClass& channel);
// The number a caption stands for (the channel, the priority, the library
// and instruction numbers).
int Number(const QString& caption);
// The entry of a list of entryCount texts that stands for text number n:
// n - 1, or -1 (no selection) for 0 and for numbers beyond the list.
int ListIndexOf(int number, int entryCount);

} // namespace ParamRows
