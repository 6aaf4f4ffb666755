// Placeholder until the start-up sequence lands.
#include "shell/startup.h"

#include "shell/game.h"

namespace velmora {

StartupResult FormCreate(Game&) { return StartupResult::kCompleted; }
void CreateOtherForms(Game&) {}
void FormDestroy(Game&) {}

}  // namespace velmora
