#pragma once
// The common look of the full-screen system and parameter screens: the
// 800 x 600 screen with its title band, a title with its shadow, framed
// groups, captions and touch buttons drawn from the program's icons.

#include "platform/ControlArray.h"

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

namespace plat {
class PictureButton;
}

namespace SettingsLook {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int Band = 60;
constexpr int Button = 56;
constexpr int Margin = 8;
// The navigation bar at the foot of the screen.
constexpr int BarTop = ScreenHeight - Margin - Button;

QLabel* label(QWidget* parent, int pointSize, bool bold, Qt::Alignment align, const QString& name = {});
plat::PictureButton* button(QWidget* parent, const QString& icon, const QRect& geometry);
QGroupBox* group(QWidget* parent, const QRect& geometry);

// The screen's title in the band: element shadow under element face, both
// with the text of tag.
void title(plat::ControlArray<QLabel>& labels, int shadow, int face, QWidget* parent, int tag);

// Style sheets of a scroll bar wide enough to touch, and of a list with rows
// of that height and of a text box, both with that scroll bar.
QString scrollBarStyle();
QString listStyle(int rowHeight);
QString textBoxStyle();

// The screen's background and its title band.
void paintScreen(QWidget* screen);

} // namespace SettingsLook
