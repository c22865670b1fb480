#include "app/widgets/LockKeyIndicators.h"

#include <X11/XKBlib.h>

namespace pavonia {

unsigned int x11IndicatorState(_XDisplay* display)
{
    unsigned int state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return 0;
    return state;
}

} // namespace pavonia
