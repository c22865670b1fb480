// The one QApplication of the page views' test program.
#include "OffscreenApplication.h"

PAVONIA_OFFSCREEN_APPLICATION;
