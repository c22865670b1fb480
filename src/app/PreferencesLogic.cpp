#include "app/PreferencesLogic.h"
