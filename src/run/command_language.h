#pragma once
// The command language of a run: every subsystem's rows in the language's own order.
#include "script/command_table.h"

namespace velmora {

// The one table every game runs with; made the first time it is asked for.
const CommandTable& LanguageCommands();

}  // namespace velmora
