#pragma once
// The Windows-1252 code page of every text file and binary record on disk.
// Text is QString in memory; files go through this codec.

#include <QByteArray>
#include <QChar>
#include <QString>

namespace plat::Cp1252 {

// A character that the code page cannot hold is written as '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);
QString decode(const char* bytes, qsizetype size);

char encodeChar(QChar c);
QChar decodeChar(unsigned char b);

// Whether the code page holds the character; every character of the text.
bool canEncode(QChar c);
bool canEncode(const QString& text);

} // namespace plat::Cp1252
