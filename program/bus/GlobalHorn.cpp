#include "program/bus/GlobalHorn.h"

#include "program/core/Global.h"

void GlobalHorn::Alarme(int level)
{
    Global::Alarme(level);
}
