#pragma once
// Copies what the configuration stores of a module or a channel onto another
// and leaves the target's run-time values as they are: the model the module
// reports, its presence, the channels' live states and mirror types. A working
// copy written back after an edit, a copied module and a scanned module must
// not undo what the bus engine has learnt meanwhile. (PanelClass::Copy and
// ChannelClass::Copy copy everything, for making the working copies.)

class ChannelClass;
class PanelClass;

namespace ConfigCopy {

// Number, model, title, title colour, active flag and channels 1..24, through
// the setters: every value that changes marks the target modified.
void Panel(PanelClass& target, const PanelClass& src);
// Texts, numbers, flags, print type and re-announcement delay, through the setters.
void Channel(ChannelClass& target, const ChannelClass& src);

} // namespace ConfigCopy
