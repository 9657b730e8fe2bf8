#pragma once
// The history viewer's list of entries: one row per screen line, drawn on two
// lines (characters 1 to 80, then 83 to 162) in the fixed-pitch face, a
// current row, and the keys that move it. A model and a view over the file's
// entries, each made a screen line only when it is drawn or read, so that a
// month of a hundred thousand entries loads and scrolls at once.

#include "program/runtime/HistoScreenRecord.h"
#include "program/runtime/HistoricEntries.h"

#include <QListView>

class HistoricEntriesModel;

class HistoricGrid : public QListView {
    Q_OBJECT
public:
    // Where a screen line's second line starts, and where its first ends.
    static constexpr int FirstLineLength = HistoScreenRecord::LineBreakPos;
    static constexpr int SecondLineStart = HistoScreenRecord::LineBreakPos + 2;

    explicit HistoricGrid(QWidget* parent = nullptr);

    int Rows() const;
    // 0 empties the list (the only count it is given).
    void setRows(int rows);
    // The current row, -1 for none; setting selects it.
    int Row() const;
    void setRow(int row);
    // The current row's text, "" when there is none.
    QString Text() const;
    QString TextMatrix(int row) const;
    // Every row at once, the current row none.
    void setEntries(HistoricEntries entries);

    // The two lines a screen line is shown on.
    static QString FirstLine(const QString& text);
    static QString SecondLine(const QString& text);

private:
    HistoricEntriesModel* m_model;
};
