#include "platform/Captions.h"

#include "platform/Label.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace plat {

namespace {
TextSource& source()
{
    static TextSource s;
    return s;
}
bool isTextId(const QString& tag)
{
    bool ok = false;
    tag.trimmed().toLongLong(&ok);
    return ok;
}
} // namespace

void setCaptionSource(TextSource s)
{
    source() = std::move(s);
}

QString captionText(const QString& id)
{
    return source() ? source()(id) : QString('#' + id + '#');
}

QString tagOf(const QObject* control)
{
    return control->property("Tag").toString();
}

void setTag(QObject* control, const QVariant& tag)
{
    control->setProperty("Tag", tag);
}

void setCaption(QWidget* control, const QString& text)
{
    if (auto* c = qobject_cast<Label*>(control))
        c->setCaption(text);
    else if (auto* l = qobject_cast<QLabel*>(control))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(control))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(control))
        g->setTitle(text);
    else if (auto* e = qobject_cast<QLineEdit*>(control))
        e->setText(text);
    else if (control->isWindow())
        control->setWindowTitle(text);
    else
        control->setProperty("Caption", text);
}

QString caption(const QWidget* control)
{
    if (auto* l = qobject_cast<const QLabel*>(control))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(control))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(control))
        return g->title();
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return e->text();
    if (control->isWindow())
        return control->windowTitle();
    return control->property("Caption").toString();
}

void markValue(QWidget* control)
{
    control->setProperty("ShowsValue", true);
}

bool showsValue(const QWidget* control)
{
    return control->property("ShowsValue").toBool();
}

void markTitleRow(QWidget* grid)
{
    grid->setProperty("TitleRow", true);
}

bool hasTitleRow(const QWidget* grid)
{
    return grid->property("TitleRow").toBool();
}

void markShadow(QWidget* shadow, const QWidget* face)
{
    shadow->setProperty("ShadowOf", QVariant::fromValue(const_cast<QObject*>(static_cast<const QObject*>(face))));
}

const QWidget* shadowFace(const QWidget* control)
{
    return qobject_cast<const QWidget*>(control->property("ShadowOf").value<QObject*>());
}

void markOverlap(QWidget* control)
{
    control->setProperty("OverlapsOnPurpose", true);
}

bool overlapsOnPurpose(const QWidget* control)
{
    return control->property("OverlapsOnPurpose").toBool();
}

void applyCaptions(QWidget* root)
{
    auto apply = [](QWidget* w) {
        const QString tag = tagOf(w);
        if (isTextId(tag))
            setCaption(w, captionText(tag.trimmed()));
    };
    apply(root);
    for (QWidget* w : root->findChildren<QWidget*>())
        apply(w);
}

} // namespace plat
