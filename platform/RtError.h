#pragma once
// The run-time error: a number, a description and a source, as the error report shows them.
// Thrown by every layer; caught only by guard() in event handlers and by the
// few places that decide to go on after an error.

#include <QString>
#include <exception>
#include <string>

namespace plat {

class RtError : public std::exception {
public:
    RtError(int number, QString description, QString source = {})
        : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
          m_what(QString("Error %1: %2").arg(m_number).arg(m_description).toStdString()) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    QString m_source;
    std::string m_what;
};

// Error numbers of the run-time that the program and the libraries rely on.
namespace rt {
constexpr int InvalidProcedureCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int InternalError = 51;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int BadFileMode = 54;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIOError = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int InputPastEndOfFile = 62;
constexpr int BadRecordNumber = 63;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectVariableNotSet = 91;
constexpr int InvalidUseOfNull = 94;
constexpr int InvalidPropertyValue = 380;
constexpr int CannotCreateObject = 429;
constexpr int PrinterError = 482;
constexpr int ObjectDoesNotSupport = 438;
constexpr int KeyAlreadyAssociated = 457;
} // namespace rt

// The run-time's standard text for an error number ("Application-defined or
// object-defined error" for numbers it does not know).
QString rtErrorText(int number);

// A run-time error with its standard text.
RtError rtError(int number, const QString& source = {});
[[noreturn]] void raise(int number, const QString& source = {});

// The run-time error that a failed system call (errno) stands for.
RtError errnoError(int err, const QString& source = {});
// The system's own text for an error number (errno), with no line end.
QString systemErrorText(int err);

} // namespace plat
