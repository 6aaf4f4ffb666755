/* One source for every test plug-in; each target switches exports off or names itself
 * differently through compile definitions. Initialize leaves its marks in the variable
 * tables it is handed (plugin_calls, plugin_last, rename_me -> renamed) and keeps its
 * arguments for the test to read back through TestLastInitialize. */
#include <stdlib.h>
#include <string.h>

#include "velmora/plugin.h"

#ifndef TP_NO_NAME
VELMORA_CONSTANT_STRING(pluginName, TP_NAME);

VELMORA_EXPORT void VELMORA_CALL GetPluginName(char** name) { *name = (char*)pluginName.chars; }
#endif

#ifndef TP_NO_VERSION
VELMORA_EXPORT double VELMORA_CALL GetDllVersion(void) { return 2.5; }
#endif

#ifndef TP_NO_HOOKED
#ifdef TP_QUOTED_COMMANDS
#define TP_HOOKED "demo.run  \"two words\"\t\"say \"\"hi\"\"\" x"
#else
#define TP_HOOKED "test.one test.two"
#endif
/* A string of our own heap, as most plug-ins would make it; we keep our reference. */
static char* commandText;

VELMORA_EXPORT void VELMORA_CALL HookedCommands(char** commands) {
  const size_t n = strlen(TP_HOOKED);
  VelmoraStringHeader* block = (VelmoraStringHeader*)malloc(sizeof *block + n + 1);
  block->refCount = 1;
  block->length = (int32_t)n;
  commandText = (char*)(block + 1);
  memcpy(commandText, TP_HOOKED, n + 1);
  *commands = commandText;
}

/* The player never frees what it was given; the plug-in gives up its own reference
 * when it is unloaded. */
__attribute__((destructor)) static void ReleaseCommandText(void) {
  if (commandText) free((VelmoraStringHeader*)(void*)commandText - 1);
}
#endif

#ifndef TP_NO_INITIALIZE
static int initializeCalls;
static void* lastArguments[4];

VELMORA_EXPORT void VELMORA_CALL Initialize(TComponentList* components, TStrArray* strVars, TIntArray* intVars,
                                            TInv inventory) {
  TIntVar* calls = VelmoraFindIntVar(intVars ? *intVars : NULL, "plugin_calls");
  TStrVar* last = VelmoraFindStrVar(strVars ? *strVars : NULL, "plugin_last");
  TStrVar* renamed = VelmoraFindStrVar(strVars ? *strVars : NULL, "rename_me");
  ++initializeCalls;
  lastArguments[0] = components;
  lastArguments[1] = strVars;
  lastArguments[2] = intVars;
  lastArguments[3] = inventory;
  if (calls) ++calls->value;
  if (last) VelmoraSetShortString(&last->value, TP_NAME);
  if (renamed) VelmoraSetShortString(&renamed->name, "renamed");
}

VELMORA_EXPORT int TestInitializeCalls(void) { return initializeCalls; }

VELMORA_EXPORT void TestLastInitialize(void** out) { memcpy(out, lastArguments, sizeof lastArguments); }
#endif

#ifndef TP_NO_PROCESS
VELMORA_EXPORT void ProcessCommand(void) {}
#endif

#ifdef TP_WITH_HELPER
int TestHelperValue(void);
VELMORA_EXPORT int VELMORA_CALL TestHelper(void) { return TestHelperValue(); }
#endif
