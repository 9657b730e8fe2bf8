#include "platform/SingleInstance.h"

#include "platform/AppIdentity.h"

#include <QLockFile>

#include <memory>

namespace plat::SingleInstance {

namespace {
std::unique_ptr<QLockFile>& theLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}
} // namespace

QString lockFileName()
{
    return AppIdentity::programFile(QStringLiteral(".lock"));
}

bool acquire()
{
    auto& lock = theLock();
    if (lock && lock->isLocked())
        return true;
    lock = std::make_unique<QLockFile>(lockFileName());
    // Never stale by age: the panel runs for months. A lock whose process is
    // gone is still recognised as stale and taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return true;
    // Only another holder refuses the start: a folder where no lock file can
    // be made (read-only) must not keep the panel from running.
    const bool otherHolder = lock->error() == QLockFile::LockFailedError;
    lock.reset();
    return !otherHolder;
}

void release()
{
    theLock().reset();
}

bool held()
{
    return theLock() && theLock()->isLocked();
}

} // namespace plat::SingleInstance
