// The command ids live with the key table in the core.
#pragma once

#include "core/keys/commands.h"
