#pragma once
// The channel that the module editor copied last, for the whole run (across
// modules and across loads of the editor); none until the first copy.

#include <memory>

class ChannelClass;

extern std::shared_ptr<ChannelClass> gChannelClipboard;
