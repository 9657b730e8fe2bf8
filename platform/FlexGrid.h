#pragma once
// The grid of text rows that the screens use: rows of cells with a 32-bit
// value per row, a current row (none when the grid is empty or nothing is
// chosen), a first visible row, and a background per cell. Sizes are in
// pixels.

#include <QTableWidget>

namespace plat {

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    FlexGrid(int rows, int columns, QWidget* parent = nullptr);

    int Rows() const { return rowCount(); }
    // 0 empties the grid; more rows are added empty.
    void setRows(int rows);
    // The current row, -1 for none; setting selects it (within 0 .. Rows - 1).
    int Row() const { return currentRow(); }
    void setRow(int row);
    // The first row shown at the top.
    int TopRow() const;
    void setTopRow(int row);

    // The current cell's text and background (0x00BBGGRR); the text takes
    // black or white, whichever reads on the background.
    QString Text() const;
    void setText(const QString& text);
    void setCellBackColor(unsigned int bgr);
    // The background of a cell chosen by place, the current row staying.
    void setCellBackColor(int row, int column, unsigned int bgr);
    unsigned int CellBackColor(int row, int column = 0) const;
    // The text as given (line breaks as CR LF); shown with its breaks.
    QString TextMatrix(int row, int column) const;
    void setTextMatrix(int row, int column, const QString& text);
    qint32 RowData(int row) const;
    void setRowData(int row, qint32 data);
    // -1 gives the default height.
    int RowHeight(int row) const { return rowHeight(row); }
    void setRowHeight(int row, int height);

    // A new row with this text in column 0, at index or at the end; the
    // current row stays on the same row.
    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int index);

    // The first row holds the column titles: it never takes the current
    // cell's look, also while the grid has the focus, and the caption check
    // measures it as titles.
    void setTitleRow();

signals:
    void RowColChange();

private:
    QTableWidgetItem* cell(int row, int column);
    int m_defaultRowHeight = 0;
};

} // namespace plat
