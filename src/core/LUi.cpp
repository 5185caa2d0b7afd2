#include "core/LUi.h"

#include "core/LConsoleUi.h"

namespace {
LUi* g_ui = nullptr;
}

LUi& LUiGet()
{
    static LConsoleUi console;
    return g_ui ? *g_ui : console;
}

void LUiSet(LUi* ui) { g_ui = ui; }
