#include "project/Preferences.h"
