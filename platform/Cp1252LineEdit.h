#pragma once
// A one-line text box that takes from the operator only what Windows-1252
// can hold (Cp1252Input.h), the menu's paste and the selection's middle
// click included.

#include "platform/Cp1252Input.h"

#include <QLineEdit>

namespace plat {

class Cp1252LineEdit : public Cp1252Entry<QLineEdit> {
    Q_OBJECT
public:
    explicit Cp1252LineEdit(QWidget* parent = nullptr) : Cp1252Entry<QLineEdit>(parent) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace plat
