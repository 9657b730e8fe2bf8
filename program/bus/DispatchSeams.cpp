#include "program/bus/DispatchSeams.h"

#include "program/bus/FormsAlarmScreen.h"
#include "program/bus/GlobalHorn.h"

namespace Dispatch {

Seams& installed()
{
    static GlobalHorn horn;
    static FormsAlarmScreen alarmScreen;
    static Seams seams{nullptr, &horn, &alarmScreen, nullptr, nullptr, nullptr};
    return seams;
}

} // namespace Dispatch
