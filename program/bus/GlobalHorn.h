#pragma once
// The station's horn as the dispatch sounds it: Global::Alarme.

#include "program/bus/DispatchSeams.h"

class GlobalHorn : public Dispatch::Horn {
public:
    void Alarme(int level) override;
};
