#include "app/TransitionList.h"
