/* SPDX-License-Identifier: MIT
 *
 * Velmora Player plug-in boundary.
 *
 * Everything that crosses between the player and a plug-in library: the exports a
 * plug-in provides and the memory forms of the tables it is handed. All integers are
 * little-endian; characters are single bytes in the game's code page. Widths are those
 * of the original 32-bit player except addresses, which are pointer-sized (8 bytes on a
 * 64-bit build); every size and offset below is checked by static assertions.
 *
 * Dynamic array: a heap block of a 32-bit reference count, a 32-bit element count, then
 * the elements. The variable that holds an array holds the address of element 0, or null
 * when the array is empty. Growing an array may move it.
 *
 *   element0 - 8   int32 refCount
 *   element0 - 4   int32 count
 *   element0       the elements, back to back
 *
 * Counted string: the variable holds the address of the first character, or null for
 * the empty string. A 32-bit reference count (-1: a constant, never counted or
 * released) and the 32-bit character count come before the characters, a zero byte
 * after the last one.
 *
 *   chars - 8      int32 refCount
 *   chars - 4      int32 length
 *   chars          length characters, then '\0'
 *
 * Short string: one length byte, then 255 character bytes (256 bytes in all).
 *
 * Layouts on a 64-bit build (32-bit in brackets where it differs):
 *   TIntVar          260 bytes: name 0, value 256
 *   TStrVar          512 bytes: name 0, value 256
 *   TComponentEntry  264 [260] bytes: name 0, component 256
 *   TInvItem         1559 [1555] bytes, offsets beside the fields below
 */
#ifndef VELMORA_PLUGIN_H
#define VELMORA_PLUGIN_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

typedef struct VelmoraShortString {
  uint8_t length;
  char chars[255];
} VelmoraShortString;

/* The header before element 0 of a dynamic array. */
typedef struct VelmoraArrayHeader {
  int32_t refCount;
  int32_t count;
} VelmoraArrayHeader;

/* One integer variable (260 bytes). */
typedef struct TIntVar {
  VelmoraShortString name;
  int32_t value;
} TIntVar;

/* One string variable (512 bytes). */
typedef struct TStrVar {
  VelmoraShortString name;
  VelmoraShortString value;
} TStrVar;

/* One inventory item. The original 32-bit record was 1555 bytes; Lines is an address,
 * so on a 64-bit build every field after it moves by 4 bytes and the record is 1559. */
typedef struct TInvItem {
  VelmoraShortString name;          /* 0 */
  VelmoraShortString displayName;   /* 256 */
  VelmoraShortString picture;       /* 512 */
  int32_t count;                    /* 768 */
  int32_t maxCount;                 /* 772 */
  uint8_t enabled;                  /* 776 */
  VelmoraShortString script;        /* 777 */
  int32_t linesCount;               /* 1033 */
  void* lines;                      /* 1037: the player's own list of description lines (opaque) */
  uint8_t canEquip;                 /* 1041 (1045 on 64-bit) */
  VelmoraShortString equipScript;   /* 1042 (1046) */
  VelmoraShortString unEquipScript; /* 1298 (1302) */
  uint8_t isEquipped;               /* 1554 (1558) */
} TInvItem;

/* One entry of the component list: a name and the address of the player's window object. */
typedef struct TComponentEntry {
  VelmoraShortString name;
  void* component;
} TComponentEntry;

#pragma pack(pop)

#define VELMORA_PTR_EXTRA (sizeof(void*) - 4)

#ifdef __cplusplus
#define VELMORA_STATIC_ASSERT static_assert
#else
#define VELMORA_STATIC_ASSERT _Static_assert
#endif

VELMORA_STATIC_ASSERT(sizeof(VelmoraShortString) == 256, "short string");
VELMORA_STATIC_ASSERT(sizeof(VelmoraArrayHeader) == 8, "array header");
VELMORA_STATIC_ASSERT(sizeof(TIntVar) == 260, "TIntVar");
VELMORA_STATIC_ASSERT(offsetof(TIntVar, value) == 256, "TIntVar.value");
VELMORA_STATIC_ASSERT(sizeof(TStrVar) == 512, "TStrVar");
VELMORA_STATIC_ASSERT(offsetof(TStrVar, value) == 256, "TStrVar.value");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, displayName) == 256, "TInvItem.displayName");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, picture) == 512, "TInvItem.picture");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, count) == 768, "TInvItem.count");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, maxCount) == 772, "TInvItem.maxCount");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, enabled) == 776, "TInvItem.enabled");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, script) == 777, "TInvItem.script");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, linesCount) == 1033, "TInvItem.linesCount");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, lines) == 1037, "TInvItem.lines");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, canEquip) == 1041 + VELMORA_PTR_EXTRA, "TInvItem.canEquip");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, equipScript) == 1042 + VELMORA_PTR_EXTRA, "TInvItem.equipScript");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, unEquipScript) == 1298 + VELMORA_PTR_EXTRA, "TInvItem.unEquipScript");
VELMORA_STATIC_ASSERT(offsetof(TInvItem, isEquipped) == 1554 + VELMORA_PTR_EXTRA, "TInvItem.isEquipped");
VELMORA_STATIC_ASSERT(sizeof(TInvItem) == 1555 + VELMORA_PTR_EXTRA, "TInvItem");
VELMORA_STATIC_ASSERT(sizeof(TComponentEntry) == 256 + sizeof(void*), "TComponentEntry");

/* The header before the characters of a counted string. */
typedef struct VelmoraStringHeader {
  int32_t refCount;
  int32_t length;
} VelmoraStringHeader;

VELMORA_STATIC_ASSERT(sizeof(VelmoraStringHeader) == 8, "string header");

/* The arrays a plug-in is handed: each variable holds the address of element 0. */
typedef TComponentEntry* TComponentList;
typedef TIntVar* TIntArray;
typedef TStrVar* TStrArray;
typedef TInvItem* TInv;

/* The names in the component list, in its order. Each entry's component is the address
 * of the player's window object of that name (null in players without windows). */
#define VELMORA_FORM "VELMORA_FORM"                   /* the main window */
#define VELMORA_CHOICEMENU "VELMORA_CHOICEMENU"       /* the list of choices */
#define VELMORA_STORY_TEXT "VELMORA_STORY_TEXT"       /* the story text view */
#define VELMORA_STORY_PICTURE "VELMORA_STORY_PICTURE" /* the page picture */

/*
 * The exports. The player looks them up by these plain names (C linkage). On 32-bit
 * Windows they use the standard-call convention; everywhere else the platform's C one.
 *
 * GetPluginName   required. Called once at load, first, with the address of an empty
 *                 counted-string variable: store your name there. $plugin.init finds a
 *                 plug-in by this name, ASCII letter case ignored; when several report
 *                 the same name, the one loaded last wins.
 * GetDllVersion   called once at load, second. Nothing reads the number.
 * HookedCommands  called once at load, third, with the address of an empty
 *                 counted-string variable: store the names of your commands there,
 *                 separated by spaces (a name in double quotes may hold spaces). The
 *                 player keeps the list but does not route commands to you.
 * Initialize      called by every "$plugin.init <name>" that names you, with the
 *                 current values: the addresses of the variables that hold the
 *                 component list and the string and integer variable tables (keep these
 *                 and you see the tables as they grow and move), and the inventory array
 *                 itself (item 0, or null when there are no items; it moves when it
 *                 grows, so do not keep it past the call). Reading and writing records in
 *                 place is allowed, renaming variables included; never append, remove
 *                 or free elements: the player owns the blocks.
 * ProcessCommand  looked up and kept; the player never calls it, so its form is yours.
 *
 * A library without GetPluginName is unloaded again. The others may be missing: a
 * missing GetDllVersion reads as version 0, a missing HookedCommands as no commands,
 * and $plugin.init of a plug-in without Initialize calls nothing and logs the warning
 * "Could not initialize plugin <name>!".
 *
 * Strings you store: the player takes over the reference and never gives it back. It
 * never frees or changes the block, so the block must stay valid while your library is
 * loaded (it stays loaded until the player exits). Use VELMORA_CONSTANT_STRING, or
 * memory you own and never free.
 */
#if defined(_WIN32) && !defined(_WIN64)
#define VELMORA_CALL __stdcall
#else
#define VELMORA_CALL
#endif

#if defined(_WIN32)
#define VELMORA_EXPORT __declspec(dllexport)
#else
#define VELMORA_EXPORT __attribute__((visibility("default")))
#endif

VELMORA_EXPORT void VELMORA_CALL GetPluginName(char** name);
VELMORA_EXPORT double VELMORA_CALL GetDllVersion(void);
VELMORA_EXPORT void VELMORA_CALL HookedCommands(char** commands);
VELMORA_EXPORT void VELMORA_CALL Initialize(TComponentList* components, TStrArray* strVars, TIntArray* intVars,
                                            TInv inventory);

/* The same exports as the player calls them. */
typedef void(VELMORA_CALL* VelmoraGetPluginNameProc)(char** name);
typedef double(VELMORA_CALL* VelmoraGetDllVersionProc)(void);
typedef void(VELMORA_CALL* VelmoraHookedCommandsProc)(char** commands);
typedef void(VELMORA_CALL* VelmoraInitializeProc)(TComponentList* components, TStrArray* strVars,
                                                  TIntArray* intVars, TInv inventory);

/* ---- Helpers for plug-in authors --------------------------------------------------- */

/* A constant counted string in static storage (reference count -1):
 *   VELMORA_CONSTANT_STRING(myName, "Demo");
 *   void VELMORA_CALL GetPluginName(char** name) { *name = (char*)myName.chars; }     */
#define VELMORA_CONSTANT_STRING(var, text) \
  static const struct {                    \
    VelmoraStringHeader header;            \
    char chars[sizeof(text)];              \
  } var = {{-1, (int32_t)(sizeof(text) - 1)}, text}

/* Characters of a counted string (0 for null or a damaged negative count). */
static inline int32_t VelmoraStringLength(const char* s) {
  if (!s) return 0;
  {
    const int32_t n = ((const VelmoraStringHeader*)(const void*)s - 1)->length;
    return n > 0 ? n : 0;
  }
}

/* Elements of a dynamic array, given the address of element 0 (0 for null). */
static inline int32_t VelmoraArrayCount(const void* first) {
  return first ? ((const VelmoraArrayHeader*)first - 1)->count : 0;
}

/* Stores text in a short string, cut to 255 bytes; the unused bytes are zeroed. */
static inline void VelmoraSetShortString(VelmoraShortString* s, const char* text) {
  size_t n = strlen(text);
  if (n > sizeof s->chars) n = sizeof s->chars;
  s->length = (uint8_t)n;
  memcpy(s->chars, text, n);
  memset(s->chars + n, 0, sizeof s->chars - n);
}

/* 1 when the short string holds exactly text (case-sensitive, as variable and item names are). */
static inline int VelmoraShortStringIs(const VelmoraShortString* s, const char* text) {
  const size_t n = strlen(text);
  return n == s->length && memcmp(s->chars, text, n) == 0;
}

/* Index of the first record whose name is exactly name, -1 when none. Every record
 * above begins with its name, so one scan serves all the arrays. */
static inline int32_t VelmoraFindByName(const void* first, size_t recordSize, const char* name) {
  int32_t i;
  const int32_t n = VelmoraArrayCount(first);
  for (i = 0; i < n; ++i)
    if (VelmoraShortStringIs((const VelmoraShortString*)((const char*)first + (size_t)i * recordSize), name))
      return i;
  return -1;
}

/* Lookups by exact name; null when there is none. */
static inline TIntVar* VelmoraFindIntVar(TIntArray vars, const char* name) {
  const int32_t i = VelmoraFindByName(vars, sizeof *vars, name);
  return i < 0 ? NULL : &vars[i];
}

static inline TStrVar* VelmoraFindStrVar(TStrArray vars, const char* name) {
  const int32_t i = VelmoraFindByName(vars, sizeof *vars, name);
  return i < 0 ? NULL : &vars[i];
}

static inline TInvItem* VelmoraFindItem(TInv items, const char* name) {
  const int32_t i = VelmoraFindByName(items, sizeof *items, name);
  return i < 0 ? NULL : &items[i];
}

/* The window object of that component name (VELMORA_FORM ...), null when not listed. */
static inline void* VelmoraFindComponent(TComponentList list, const char* name) {
  const int32_t i = VelmoraFindByName(list, sizeof *list, name);
  return i < 0 ? NULL : list[i].component;
}

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_PLUGIN_H */
