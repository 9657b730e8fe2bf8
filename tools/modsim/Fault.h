#pragma once
// Faults a simulated module shows on demand, chosen by name, so that the
// panel's checks, time-outs and retries run against each kind of bad reply.

#include <QString>

#include <optional>

namespace modsim {

enum class FaultKind {
    None,
    Silent,        // acts on the request, but its reply is lost
    Exception,     // refuses the request with an exception reply (code = param, default 4)
    BadCrc,        // the reply's CRC is wrong
    WrongAddress,  // the reply carries another slave's address (CRC correct)
    WrongFunction, // the reply carries another function code (CRC correct)
    ByteTooMany,   // one data byte more before a correct CRC
    ByteTooFew,    // one data byte less before a correct CRC
    Late,          // the reply comes param ms late (default 1500)
    Pieces,        // the reply comes in three pieces, param ms apart (default 5)
    FailNext,      // the next param requests (default 1) never reach the module
};

struct Fault {
    FaultKind kind = FaultKind::None;
    int param = 0;

    // The name used in scripts and on the command line ("bad-crc", "late", ...).
    static QString name(FaultKind kind);
    // A fault from its name and an optional parameter; nothing for an unknown name.
    static std::optional<Fault> fromName(const QString& name, std::optional<int> param = std::nullopt);
    static int defaultParam(FaultKind kind);
};

} // namespace modsim
