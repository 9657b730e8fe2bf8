#pragma once
// Stand in for the dispatch's history file, printer and mirrors: their steps
// do nothing.

#include "program/bus/DispatchSeams.h"

class StandInHistory : public Dispatch::History {
public:
    void HistoEvent(const EventClass&) override {}
};

class StandInPrinter : public Dispatch::Printer {
public:
    void PrintEvent(const EventClass&) override {}
};

class StandInMirrors : public Dispatch::Mirrors {
public:
    void TraitementR2R2Self(const EventClass&) override {}
    void DoMirrors(const EventClass&) override {}
};
