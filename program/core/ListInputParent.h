#pragma once
// What the value picker reaches of the module and channel editor while that
// editor is its calling form: the number of the parameter being edited, the
// lists of library and instruction texts, and the labels that show the
// parameter values. The editor implements this beside its form class, so the
// picker needs nothing else of it.

class QLabel;
class QLineEdit;
class QListWidget;

class ListInputParent {
public:
    virtual ~ListInputParent() = default;

    // Hidden text box: the number of the row being edited (8 library, 9 instruction).
    virtual QLineEdit* txtNoParam() const = 0;
    // The 64 library texts; entry k - 1 shows text k.
    virtual QListWidget* lstBiblio() const = 0;
    // The 48 instruction texts; entry k - 1 shows text k.
    virtual QListWidget* lstConsigne() const = 0;
    // The parameter value labels; 8 and 9 hold the library and instruction numbers.
    virtual QLabel* lblParamVal(int index) const = 0;
};
