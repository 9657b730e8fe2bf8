#include "program/runtime/HistoricEntries.h"

#include "program/runtime/HistoFileRecord.h"
#include "program/runtime/HistoProcs.h"

#include "platform/Cp1252.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

HistoricEntries::HistoricEntries(std::shared_ptr<QFile> file, std::vector<Span> lines)
    : m_file(std::move(file)), m_lines(std::move(lines))
{
}

QString HistoricEntries::at(qsizetype i) const
{
    const Span& line = m_lines[size_t(i)];
    // The fields of a record lie in its first characters: the rest of a longer line is never shown.
    char bytes[HistoFileRecord::Length];
    const size_t wanted = size_t(std::min<qint64>(line.length, HistoFileRecord::Length));
    ssize_t got = 0;
    do
        got = ::pread(m_file->handle(), bytes, wanted, line.start);
    while (got < 0 && errno == EINTR);
    return HistoProcs::HistoFileLineToHistoScreenLine(plat::Cp1252::decode(bytes, std::max<ssize_t>(got, 0)));
}
