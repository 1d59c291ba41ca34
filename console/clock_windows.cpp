#include "console/clock.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t clock_ms()
{
    return timeGetTime();
}

void pause_ms(uint32_t ms)
{
    Sleep(ms);
}
