#include "project/FolderMemory.h"
