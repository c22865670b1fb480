#include "app/ExternalEditors.h"
