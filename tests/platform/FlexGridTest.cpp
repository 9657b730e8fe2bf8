// The grid of text rows: rows added and removed around the current row, the
// row data, the given text kept apart from its display, the first visible
// row, and text that reads on every background.

#include "platform/FlexGrid.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using plat::FlexGrid;

TEST(FlexGrid, RowsComeAndGoAroundTheCurrentRow)
{
    FlexGrid g(0, 1);
    EXPECT_EQ(g.Row(), -1);
    QSignalSpy changes(&g, &FlexGrid::RowColChange);
    for (const char* t : {"a", "b", "c"})
        g.AddItem(t);
    g.setRow(1);
    EXPECT_EQ(changes.count(), 1);
    g.setRowData(1, -7);
    g.AddItem("top", 0);
    EXPECT_EQ(g.Row(), 2) << "the current row stays on its row";
    EXPECT_EQ(g.TextMatrix(2, 0), "b");
    EXPECT_EQ(g.RowData(2), -7);
    g.RemoveItem(0);
    EXPECT_EQ(g.TextMatrix(g.Row(), 0), "b");
    g.RemoveItem(g.Row());
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_GE(g.Row(), 0) << "a neighbour becomes current";
    g.setRow(5);
    EXPECT_LT(g.Row(), 2) << "no current row outside the rows";
    g.setRows(0);
    EXPECT_EQ(g.Row(), -1);
}

TEST(FlexGrid, TextKeepsItsLineBreaksAndShowsThemAsBreaks)
{
    FlexGrid g(0, 1);
    g.AddItem("Module\r\npresent");
    EXPECT_EQ(g.TextMatrix(0, 0), "Module\r\npresent");
    EXPECT_EQ(g.item(0, 0)->text(), "Module\npresent");
    g.setRow(0);
    EXPECT_EQ(g.Text(), "Module\r\npresent");
}

TEST(FlexGrid, BackgroundsAreGivenAsBgrAndTheTextStaysReadable)
{
    FlexGrid g(2, 1);
    g.setRow(1);
    g.setCellBackColor(0x0080FF);
    EXPECT_EQ(g.item(1, 0)->background().color(), QColor(255, 128, 0));
    EXPECT_EQ(g.CellBackColor(1, 0), 0x0080FFu);
    g.setCellBackColor(0, 0, 0x000000);
    EXPECT_EQ(g.item(0, 0)->foreground().color(), QColor(Qt::white));
    g.setCellBackColor(0, 0, 0xFFFF00);
    EXPECT_NE(g.item(0, 0)->foreground().color(), QColor(Qt::white));
}

TEST(FlexGrid, TheFirstVisibleRowScrolls)
{
    FlexGrid g(100, 1);
    g.resize(300, 200);
    g.show();
    g.setTopRow(40);
    EXPECT_EQ(g.TopRow(), 40);
    g.setTopRow(0);
    EXPECT_EQ(g.TopRow(), 0);
}
