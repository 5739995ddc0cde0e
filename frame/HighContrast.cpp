#include "frame/HighContrast.h"

#include <windows.h>

namespace {

bool SystemHighContrast() {
    HIGHCONTRASTW setting{sizeof(setting)};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastQuery g_query = nullptr;

}  // namespace

bool HighContrastOn() { return g_query ? g_query() : SystemHighContrast(); }

HighContrastQuery SetHighContrastQuery(HighContrastQuery query) {
    const HighContrastQuery previous = g_query;
    g_query = query;
    return previous;
}
