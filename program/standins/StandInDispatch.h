#pragma once
// Stands in for the dispatch's mirrors: the step does nothing.

#include "program/bus/DispatchSeams.h"

class StandInMirrors : public Dispatch::Mirrors {
public:
    void TraitementR2R2Self(const EventClass&) override {}
    void DoMirrors(const EventClass&) override {}
};
