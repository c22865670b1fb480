#include "project/WorkingFolder.h"
