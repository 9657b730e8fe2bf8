#pragma once
// The common look of the screens and dialogs, over the one palette and font
// of Theme: the 800 x 600 screen with its title band, captions, a caption
// over its shadow, touch buttons drawn from the icon set, text command
// buttons, the framed value boxes the operator edits, framed groups and
// panels, and lists and text boxes with a scroll bar wide enough to touch.

#include "platform/ScreenParts.h"

#include <QColor>
#include <QRect>
#include <QString>

class QFrame;
class QGroupBox;
class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace plat::ScreenLook {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int Band = 60;
constexpr int ShadowOffset = 2;
// A full screen's title in the band, with room on the right for a button.
constexpr QRect TitleRect{20, 0, ScreenWidth - 120, Band};

// A value box's background, as the configuration's colours are given (0x00BBGGRR).
constexpr unsigned int FieldWhite = 0xFFFFFF;
constexpr unsigned int FieldSelected = 0x00FFFF;   // yellow

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
              const QString& name = {});
// A white caption on the band: a dialog's title.
QLabel* bandLabel(QWidget* parent, int pointSize, const QRect& geometry);
// A caption in ink over its shadow in shade, offset pixels down and right and
// stacked just under it.
void shadowed(QLabel* face, QLabel* shadow, const QRect& geometry, const QColor& ink, const QColor& shade,
              int offset = ShadowOffset);
// A full screen's title in the band: white over a black shadow.
void title(QLabel* face, QLabel* shadow, const QRect& geometry = TitleRect);

// A touch button with the picture of that name of the icon set.
plat::PictureButton* button(QWidget* parent, const QString& icon, const QRect& geometry);
// The style sheet of a text command button, with its pressed and disabled looks.
QString commandStyle();
// The style sheet of an option button's round mark, which shows on every colour.
QString optionMark();

// A value box in that background colour, kept in its BackColor property; it
// shows a value, not a caption.
void paintField(QWidget* field, unsigned int bgr);
// A titled group and an untitled panel, both framed on the panel colour.
QGroupBox* group(QWidget* parent, const QRect& geometry);
QFrame* panel(QWidget* parent, const QRect& geometry);

// Style sheets of a scroll bar wide enough to touch, and of a list with rows
// of that height and of a text box, both with that scroll bar.
QString scrollBarStyle();
QString listStyle(int rowHeight);
QString textBoxStyle();

// What a full screen paints: the background and its title band of that
// height (stated with ScreenParts, painted by ScreenParts::paint).
ScreenParts::Parts screenParts(int band = Band);
// What a dialog paints: the background, its title band of that height (none
// for 0) and its frame.
ScreenParts::Parts dialogParts(int band);

} // namespace plat::ScreenLook
