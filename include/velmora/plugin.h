/*
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
 * Short string: one length byte, then 255 character bytes.
 */
#ifndef VELMORA_PLUGIN_H
#define VELMORA_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

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

/* The exports a plug-in provides are declared by the plug-in kit below this line. */

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_PLUGIN_H */
