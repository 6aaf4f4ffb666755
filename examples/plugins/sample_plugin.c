/* SPDX-License-Identifier: MIT
 *
 * A sample Velmora Player plug-in.
 *
 * It reports its name ("Sample"), a version and two command names, and when a script
 * runs "$plugin.init Sample" it reads the integer variable gold and the count of the
 * item key, and writes a line about them into the string variable sample_report.
 * The script creates the variables first: a plug-in reads and writes the records it is
 * handed, it never adds any.
 */
#include <stdio.h>

#include <velmora/plugin.h>

VELMORA_CONSTANT_STRING(pluginName, "Sample");
VELMORA_CONSTANT_STRING(pluginCommands, "sample.report sample.reset");

VELMORA_EXPORT void VELMORA_CALL GetPluginName(char** name) { *name = (char*)pluginName.chars; }

VELMORA_EXPORT double VELMORA_CALL GetDllVersion(void) { return 1.0; }

VELMORA_EXPORT void VELMORA_CALL HookedCommands(char** commands) { *commands = (char*)pluginCommands.chars; }

VELMORA_EXPORT void VELMORA_CALL Initialize(TComponentList* components, TStrArray* strVars, TIntArray* intVars,
                                            TInv inventory) {
  /* The tables are read through the variables that hold them, each time: they move as
   * they grow. The inventory is the array itself, valid for this call only. */
  const TIntVar* gold = VelmoraFindIntVar(*intVars, "gold");
  const TInvItem* key = VelmoraFindItem(inventory, "key");
  TStrVar* report = VelmoraFindStrVar(*strVars, "sample_report");
  const void* window = VelmoraFindComponent(*components, VELMORA_FORM);
  char text[256];
  if (!report) return;
  snprintf(text, sizeof text, "gold %d, keys %d, window %s", gold ? (int)gold->value : 0,
           key ? (int)key->count : 0, window ? "shown" : "none");
  /* Short strings hold at most 255 bytes; VelmoraSetShortString cuts longer text. */
  VelmoraSetShortString(&report->value, text);
}

/* Looked up and kept, never called by the player: its form is up to the plug-in. */
VELMORA_EXPORT void VELMORA_CALL ProcessCommand(void) {}
