#pragma once
// The rules of the module copy dialog: the two module numbers its arrows
// step within 1..64, when a copy may be made, and the copy itself, which
// takes one module's configuration onto another number and saves the
// working file.

class ModuleCopy {
public:
    // The arrows: the source's down and up, then the target's.
    static constexpr int SourceDown = 0;
    static constexpr int SourceUp = 1;
    static constexpr int TargetDown = 2;
    static constexpr int TargetUp = 3;

    struct Numbers {
        int source = 1;
        int target = 1;
        bool operator==(const Numbers&) const = default;
    };

    // The numbers after a touch of an arrow: one step, never out of 1..64.
    static Numbers Step(Numbers numbers, int arrow);
    // A module is never copied onto itself.
    static bool CanCopy(const Numbers& numbers) { return numbers.source != numbers.target; }

    // Gives module target of gConfig the model, title, colour, active flag
    // and channel settings of module source. The target keeps its number
    // and what the bus engine knows of it (its reported model, presence and
    // channel states); its mirrors and those of the source stay as they
    // are. Then rewrites the working file, also when nothing changed.
    static void Copy(int source, int target);
};
