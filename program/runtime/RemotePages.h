#pragma once
// What the remote-control overview does without its window: which modules
// take remote commands (the active ones of model 4 or 5), the pages of 12
// buttons they fill, the steps between pages, and where each button lies.

#include <QPoint>

#include <vector>

class ConfigClass;
class PanelClass;

namespace RemotePages {

constexpr int PerPage = 12;
constexpr int Columns = 4;
// The first button's place and the steps to the next column and row, in twips.
constexpr QPoint FirstButtonTwips{330, 1485};
constexpr int ColumnStepTwips = 2925;
constexpr int RowStepTwips = 2190;

bool Qualifies(const PanelClass& panel);
// Element 0 holds 0; then the qualifying modules in increasing number.
std::vector<qint16> Modules(const ConfigClass& config);
// Whether any module qualifies: the alarm screen and the history viewer show
// their remote-control button only then.
bool AnyModule(const ConfigClass& config);

// The first list position of the page before or after the one starting at
// first; first itself when there is none. n is the number of modules.
int PreviousFirst(int first);
int NextFirst(int first, int n);
// Whether the previous-page and next-page buttons show.
bool PreviousShown(int first);
bool NextShown(int first, int n);

// Where button k (1..12) of a page lies, in twips at design scale.
QPoint ButtonTwips(int k);

} // namespace RemotePages
