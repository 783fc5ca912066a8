#pragma once

#include "Types.h"

#include <string>
#include <vector>

// Platform side of the drop shim: a drop handle for a list of paths.
HDROP NewDrop(std::vector<std::string> paths);
