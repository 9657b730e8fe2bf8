#include "program/screens/bus/ChannelClipboard.h"

#include "program/core/ChannelClass.h"

std::shared_ptr<ChannelClass> gChannelClipboard;
