#pragma once
// The caption check of the gallery: every caption shown on a screen (labels,
// buttons, frame titles, column titles) must fit the room its control gives
// it, with the control's own font. Values and user texts are not captions: a
// control that shows one carries the property "ShowsValue" and is passed
// over, and so are lists and grid cells.

#include <QSize>
#include <QString>

#include <vector>

class QWidget;

namespace CaptionCheck {

struct Misfit {
    QString control;   // the control's name, a column title as name[column]
    QString text;
    QSize needs;       // the size the text takes
    QSize room;        // the part of the control it may take, as seen on the screen
};

// The visible captions of window that do not fit.
std::vector<Misfit> misfits(const QWidget* window);

QString describe(const Misfit& misfit);

} // namespace CaptionCheck
