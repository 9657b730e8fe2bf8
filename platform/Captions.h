#pragma once
// Captions from numeric tags: a control whose "Tag" property holds a text id
// takes its caption from the program's text table when its screen translates
// itself. The text lookup belongs to a higher layer and is installed here.

#include <QString>
#include <QVariant>
#include <functional>

class QWidget;
class QObject;

namespace plat {

using TextSource = std::function<QString(const QString& id)>;
void setCaptionSource(TextSource source);
QString captionText(const QString& id);

// The tag of a control (its "Tag" property).
QString tagOf(const QObject* control);
void setTag(QObject* control, const QVariant& tag);

// Sets the caption of root and of every control below it whose tag is a
// number: labels, buttons, group boxes, the window title of a form.
void applyCaptions(QWidget* root);

// Sets one control's caption (label text, button text, group title, text box
// text, window title); a Label's change handler runs.
void setCaption(QWidget* control, const QString& text);
QString caption(const QWidget* control);

// A control that shows a value or a user text, not a caption of the screen
// (the caption check of the screens passes over it).
void markValue(QWidget* control);
bool showsValue(const QWidget* control);

// A grid whose first row holds its column titles (captions, measured by the
// caption check like a header's).
void markTitleRow(QWidget* grid);
bool hasTitleRow(const QWidget* grid);

// A caption's shadow, drawn a little apart under its face: the two overlap
// on purpose, and the shadow goes where its face goes (the overlap check of
// the screens checks the face only).
void markShadow(QWidget* shadow, const QWidget* face);
const QWidget* shadowFace(const QWidget* control);
// A control laid over others on purpose, such as a list that opens over the
// buttons (the overlap check of the screens passes over it).
void markOverlap(QWidget* control);
bool overlapsOnPurpose(const QWidget* control);

} // namespace plat
