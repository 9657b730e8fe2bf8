#include "program/bus/DispatchSeams.h"

#include "program/bus/FormsAlarmScreen.h"
#include "program/bus/GlobalHorn.h"
#include "program/bus/Miroirs.h"

namespace Dispatch {

Seams& installed()
{
    static GlobalHorn horn;
    static FormsAlarmScreen alarmScreen;
    // Their writes go to the engine form's queue.
    static Miroirs mirrors;
    static Seams seams{nullptr, &horn, &alarmScreen, nullptr, nullptr, &mirrors};
    return seams;
}

} // namespace Dispatch
