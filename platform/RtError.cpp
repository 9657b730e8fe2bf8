#include "platform/RtError.h"

#include <cerrno>
#include <cstring>

namespace plat {

QString rtErrorText(int number)
{
    switch (number) {
    case rt::InvalidProcedureCall: return "Invalid procedure call or argument";
    case rt::Overflow: return "Overflow";
    case rt::OutOfMemory: return "Out of memory";
    case rt::SubscriptOutOfRange: return "Subscript out of range";
    case rt::DivisionByZero: return "Division by zero";
    case rt::TypeMismatch: return "Type mismatch";
    case rt::InternalError: return "Internal error";
    case rt::BadFileNameOrNumber: return "Bad file name or number";
    case rt::FileNotFound: return "File not found";
    case rt::BadFileMode: return "Bad file mode";
    case rt::FileAlreadyOpen: return "File already open";
    case rt::DeviceIOError: return "Device I/O error";
    case rt::FileAlreadyExists: return "File already exists";
    case rt::DiskFull: return "Disk full";
    case rt::InputPastEndOfFile: return "Input past end of file";
    case rt::BadRecordNumber: return "Bad record number";
    case rt::DeviceUnavailable: return "Device unavailable";
    case rt::PermissionDenied: return "Permission denied";
    case rt::DiskNotReady: return "Disk not ready";
    case rt::PathFileAccessError: return "Path/File access error";
    case rt::PathNotFound: return "Path not found";
    case rt::ObjectVariableNotSet: return "Object variable or With block variable not set";
    case rt::InvalidUseOfNull: return "Invalid use of Null";
    case rt::InvalidPropertyValue: return "Invalid property value";
    case rt::CannotCreateObject: return "Component can't create object";
    case rt::PrinterError: return "Printer error";
    case rt::ObjectDoesNotSupport: return "Object doesn't support this property or method";
    case rt::KeyAlreadyAssociated: return "This key is already associated with an element of this collection";
    default: return "Application-defined or object-defined error";
    }
}

RtError rtError(int number, const QString& source)
{
    return RtError(number, rtErrorText(number), source);
}

void raise(int number, const QString& source)
{
    throw rtError(number, source);
}

RtError errnoError(int err, const QString& source)
{
    switch (err) {
    case ENOENT: return rtError(rt::PathNotFound, source);
    case ENOTDIR: return rtError(rt::PathNotFound, source);
    case EACCES:
    case EISDIR:
    case EROFS: return rtError(rt::PathFileAccessError, source);
    case EPERM: return rtError(rt::PermissionDenied, source);
    case ENOSPC:
    case EDQUOT: return rtError(rt::DiskFull, source);
    case EEXIST: return rtError(rt::FileAlreadyExists, source);
    case EBUSY: return rtError(rt::FileAlreadyOpen, source);
    case ENODEV:
    case ENXIO: return rtError(rt::DeviceUnavailable, source);
    case ENOMEM: return rtError(rt::OutOfMemory, source);
    case EBADF: return rtError(rt::BadFileNameOrNumber, source);
    default: return rtError(rt::DeviceIOError, source);
    }
}

QString systemErrorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace plat
