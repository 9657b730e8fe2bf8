#pragma once
// A modal window (a modal form, a chooser) blocks the input of every other
// window of the program. A notice (Form::setNotice) stays answerable over it:
// each time a window is shown or hidden, every notice up is made a window
// that the modal window on top owns, or none when no modal window is up.

namespace plat::NoticeOwner {

// Watches the program's windows from now on (once; later calls do nothing).
void install();

} // namespace plat::NoticeOwner
