#pragma once
// What the mirror editors check before they take a mirror into a list, and
// how they remove one: no two mirrors of one ID, no mirror that would close
// a loop (a list read from a file that already holds one still gets an
// answer), and a removal takes every mirror of the ID.

#include "program/core/TextIds.h"

#include <QString>

class MirrorClass;
class MirrorClasses;

class MirrorRules {
public:
    // The refusals' texts; 0 is no refusal.
    static constexpr int Accepted = 0;
    static constexpr int Duplicate = TextIds::MirrorDuplicate;
    static constexpr int Loop = TextIds::MirrorLoop;

    // A new mirror for the list.
    static int NewRefusal(const MirrorClasses& list, const MirrorClass& mirror);
    // The mirror of ID editedId changed into mirror: keeping its own ID is no
    // duplicate, and the loop is looked for without the mirror's old values,
    // so a mirror may be turned round.
    static int ModifyRefusal(const MirrorClasses& list, const QString& editedId, const MirrorClass& mirror);
    // Removes every mirror of that ID; how many went.
    static int RemoveID(MirrorClasses& list, const QString& id);
};
