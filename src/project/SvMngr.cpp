#include "project/SvMngr.h"
