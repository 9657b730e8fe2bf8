#pragma once
// The rows of the mirror list: eight columns a mirror (column 0 left empty;
// source model, module, channel; destination model, module, channel; type),
// the mirror's ID with each row, and their order: by column 1, then 2, and
// so on up to 7, each compared as text, so module 10 comes before module 2.

#include <QString>

#include <array>
#include <vector>

class MirrorClass;
class MirrorClasses;

class MirrorTable {
public:
    // Column c is titled by text TextIds::MirrorColumnTitleFirst + c.
    static constexpr int Columns = 8;

    struct Row {
        QString id;
        std::array<QString, Columns> text;
    };

    static Row MakeRow(const MirrorClass& mirror);
    // Text order on columns 1 to 7, letter case ignored.
    static bool Before(const Row& a, const Row& b);
    // The rows of the list, in order; rows that compare equal keep the
    // list's order.
    static std::vector<Row> Rows(const MirrorClasses& list);
};
