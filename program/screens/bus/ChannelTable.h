#pragma once
// The channel table file: the settings of every channel of the 64 modules as
// tab-separated text that a spreadsheet can prepare or check. A header line
// of column names, then one line per channel of 14 fields, each followed by
// a TAB; numbers in the form " 12 " (a minus sign in place of the leading
// blank when negative), flags as the numbers 1 and 0, texts as stored.
// Windows-1252, CR LF after every line.

#include <QByteArray>
#include <QString>
#include <QStringList>

class ConfigClass;

namespace ChannelTable {

// The columns, in the order of a line's fields.
enum Column { Pnl, Chnl, Screen, Print, TypePrt, Klaxon, Prio, Histo, Bib, Help, React, Tempo, TxtScr, TxtImp, Columns };

const QStringList& ColumnNames();

// The file of every channel 1..ChannelCount of modules 1..64, whatever their
// model. A TAB, CR or LF inside a text is written as a blank, so that the
// file always reads back.
QByteArray Write(const ConfigClass& config);

// Takes a file's channel lines into config, through the channels' setters (a
// value that changes marks its channel modified). Lines that are empty or
// whose first field reads 0 (the header among them) are skipped; CR LF, LF
// and CR end a line alike. The whole file is checked before anything is
// taken: the first line with fewer than 14 fields, or a value that is no
// module or channel number or lies outside its column's range, raises a
// run-time error whose text names the line and the column, and config is
// left as it was. So is a file without any channel line, and one saved as
// UTF-8 or UTF-16 (a byte-order mark, a NUL byte, or bytes above 0x7F that
// all form UTF-8 sequences), whose texts would come back garbled.
void Read(const QByteArray& data, ConfigClass& config);

// The same on files. Export writes beside the target and renames, so that a
// failed export leaves no half file and an older file of the name whole.
// Both raise the run-time error of a file that cannot be read or written.
void Export(const ConfigClass& config, const QString& fileName);
void Import(const QString& fileName, ConfigClass& config);

} // namespace ChannelTable
