#pragma once
// A multi-line text box that takes from the operator only what Windows-1252
// can hold (Cp1252Input.h), every way of pasting included.

#include "platform/Cp1252Input.h"

#include <QPlainTextEdit>

namespace plat {

class Cp1252TextEdit : public Cp1252Entry<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit Cp1252TextEdit(QWidget* parent = nullptr) : Cp1252Entry<QPlainTextEdit>(parent) {}

protected:
    // Every paste: the keys, the menu and the selection's middle click.
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace plat
