#pragma once
// Touches on controls that are not buttons: a caption label, a picture, a
// sample. A click is a press and a release inside the control; a double
// click is a second click, as it is on a button, so a quick second touch is
// never lost.

#include <functional>

class QAbstractButton;
class QWidget;

namespace plat {

// Runs handler on every click of control.
void onClick(QWidget* control, std::function<void()> handler);

// A click on the caption is a click of its image: the image looks pressed
// while the caption is held, and the image's clicked signal (its handler) runs.
void forwardClicks(QWidget* caption, QAbstractButton* image);

} // namespace plat
