#include "project/ProjectDocument.h"
