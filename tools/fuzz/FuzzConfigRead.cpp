// Fuzz target: ConfigClass reading any bytes as a configuration file.
// Beyond the sanitizers' findings it stops on a file that the structural
// check accepts but the reading refuses (the model would be half read), and
// on an accepted file whose saved form does not read back to the same bytes.

#include "platform/Guard.h"
#include "program/core/ConfigClass.h"

#include <cstdint>
#include <cstdlib>

namespace {

QString noDefaults(int)
{
    return {};
}

bool setUp()
{
    // Member errors would go to the message box; here they only matter as results.
    plat::setErrorReporter([](const QString&, const plat::RtError&) {});
    ConfigClass::setScrambleKeySource([] { return uint8_t(0x5A); });
    return true;
}

QByteArray saved(ConfigClass& c)
{
    QByteArray out;
    if (!c.SaveData(out))
        std::abort();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = setUp();
    (void)ready;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ConfigFile::Report checked = ConfigFile::check(bytes);

    ConfigClass config(noDefaults);
    const int result = config.ReadData(bytes);
    if (result != checked.result)
        std::abort();
    if (result != ConfigFile::kReadOk)
        return 0;

    // Reading a saved file and saving it again is stable (the first round may
    // still clamp the sounds of an old file).
    const QByteArray first = saved(config);
    ConfigClass second(noDefaults);
    if (second.ReadData(first) != ConfigFile::kReadOk)
        std::abort();
    const QByteArray again = saved(second);
    ConfigClass third(noDefaults);
    if (third.ReadData(again) != ConfigFile::kReadOk || saved(third) != again)
        std::abort();
    return 0;
}
