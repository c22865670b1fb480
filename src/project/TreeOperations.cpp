#include "project/TreeOperations.h"
