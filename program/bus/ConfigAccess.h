#pragma once
// The modules and channels of gConfig as the engine and the event rules reach
// them: the range is checked first and a missing object raises, so that the
// caller's own trap reports one error, not a second one from the model.

#include "program/core/ChannelClass.h"
#include "program/core/ConfigClass.h"
#include "program/core/PanelClass.h"

namespace ConfigAccess {

// gConfig; run-time error 91 when there is none.
ConfigClass& config();
// Module 1..64 of gConfig; error 9 outside.
PanelClass& panel(int module);
// Channel 0..24 of the module (0: the module's channel-0 object); error 9 outside.
ChannelClass& channel(PanelClass& panel, int chnl);
ChannelClass& channel(int module, int chnl);

} // namespace ConfigAccess
