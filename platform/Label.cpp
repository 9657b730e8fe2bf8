#include "platform/Label.h"

namespace plat {

Label::Label(QWidget* parent) : QLabel(parent) { }

void Label::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    setText(caption);
    emit Change();
}

} // namespace plat
