#pragma once
// The out-of-service screen's rules without its window: the item keys, what
// is out of service now, the module and channel steps, what an out or back
// button does with the pending changes, which buttons and arrows show, and
// how Yes applies the pending changes (modules' Active, channels' OutOfOrder;
// nothing saved). The screen keeps the pending changes in its list; these
// rules see them as items.

#include <QString>

#include <array>
#include <functional>
#include <vector>

class ConfigClass;

namespace OutOfService {

// The images of the lists.
enum class Icon { PanelOut, PanelOk, ChannelOut, ChannelOn };
QString IconKey(Icon icon);

struct Item {
    int module = 0;
    int channel = 0;   // 0 for the module itself
    Icon icon = Icon::PanelOut;
};

// gPanelLetter and the module as two digits, then, for a channel,
// gChannelLetter and the channel as two digits.
QString FormatKey(int module, int channel);

// The modules (with a model) out of service and the channels out of order,
// in module order, each module before its channels.
std::vector<Item> Present(const ConfigClass& config);

// The selection: 0 for none.
struct Selection {
    int module = 0;
    int channel = 0;
};

// The buttons.
constexpr int ChannelDown = 0;
constexpr int ChannelUp = 1;
constexpr int ChannelOut = 2;
constexpr int ChannelBack = 3;
constexpr int ModuleDown = 4;
constexpr int ModuleUp = 5;
constexpr int ModuleOut = 6;
constexpr int ModuleBack = 7;

// A step button (0, 1, 4, 5): the new selection.
Selection Step(const ConfigClass& config, Selection selection, int button);

// An out or back button (2, 3, 6, 7) with the pending changes: refused (a
// beep), the selection's pending change withdrawn, or a change to add.
enum class Outcome { Refused, Withdraw, Add };
struct Action {
    Outcome outcome = Outcome::Refused;
    Item item;
};
using IsPending = std::function<bool(const QString& key)>;
Action Act(const ConfigClass& config, Selection selection, int button, const IsPending& pending);

// Which of the eight buttons show for the selection.
std::array<bool, 8> Buttons(const ConfigClass& config, Selection selection, const IsPending& pending);

// The arrows of a list: selected is the selected item's place (1..count),
// 0 when nothing is selected. With nothing selected, next selects the first.
struct Arrows {
    bool previous = false;
    bool next = false;
};
Arrows ArrowsOf(int selected, int count);

// Yes: each pending change in its order. A channel put back while its
// recorded state is an alarm starts again from normal, so that the module's
// next reading gives its event; true when one did (the engine's update sweep
// then reads the modules that only tell a change through it).
bool Apply(const std::vector<Item>& pending, ConfigClass& config);

} // namespace OutOfService
