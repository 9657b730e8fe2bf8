#pragma once
// Low-level file output shared by the INI layer and the trace log.

#include <QByteArray>

namespace plat {

// Writes every byte to the descriptor, going on after interrupted or short
// writes. False (errno set) on a failure.
bool writeFully(int fd, const QByteArray& data);

} // namespace plat
