#pragma once
// The alarm screen as the dispatch brings it up: whatever form is registered
// under the alarm screen's name, with every other screen but the engine's
// cleared away, so that an alarm is never hidden behind a menu. A password
// dialog that the alarm screen itself asked stays up over it, and so do the
// notices (messages shown without waiting, error reports among them).

#include "program/bus/DispatchSeams.h"

class FormsAlarmScreen : public Dispatch::AlarmScreen {
public:
    void BringToFront() override;
};
