#pragma once
// Which parameter row of the module editor the row buttons select. The
// channel number row (1) is changed with the channel buttons and is never
// selected by these: a step that lands on it goes one further. Without a
// channel (number 0) only the title row can be selected.

namespace RowSelection {

// The row after row; channel is the channel number shown.
int Next(int row, int channel);
// The row before row; the first row stays where it is.
int Previous(int row);
// Whether the previous-row and next-row buttons are shown.
bool PreviousShown(int row);
bool NextShown(int row, int channel);

} // namespace RowSelection
