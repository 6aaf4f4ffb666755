#pragma once
// Named integer and string variables and the integer and string sets of one run.
//
// The two variable tables are kept in the memory form plug-ins receive (a dynamic array:
// 32-bit reference count, 32-bit element count, then 260-byte TIntVar / 512-byte TStrVar
// records), so a plug-in that holds the tables' addresses sees them grow. The block may
// hold more records than the count says; growth doubles it, so appending stays cheap.
//
// Lookups answer as a scan from the first record would (the first record of that exact
// name wins), but through a hash index kept beside each table: the cost does not grow
// with the number of variables. Names over 255 bytes are stored cut and are never found
// again under the long name.
//
// Scripts can create variables and grow sets without end, so the store is bounded in the
// bytes it holds (records, set elements and their bookkeeping, estimated); growing past
// the bound raises RuntimeFault.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/startup_log.h"
#include "velmora/plugin.h"

namespace velmora {

class VarStore {
 public:
  static constexpr int64_t kMaxBytes = int64_t{256} << 20;

  explicit VarStore(StartupLog& log, int64_t maxBytes = kMaxBytes);
  ~VarStore();
  VarStore(const VarStore&) = delete;
  VarStore& operator=(const VarStore&) = delete;

  // Index of the first variable of that exact name, -1 when none.
  int FindVar(std::string_view name, bool isString) const;
  void NewIntVar(std::string_view name, int32_t value);
  void NewStrVar(std::string_view name, std::string_view value);
  // The integer variable's value, else the token as an integer literal (else the conversion fault).
  int32_t IntOperand(std::string_view token) const;
  // The string variable's value, else the token itself.
  std::string StrOperand(std::string_view token) const;

  // Record access by an index from FindVar (never -1).
  int IntCount() const { return intCount_; }
  std::string_view IntName(int index) const { return Text(intVars_[index].name); }
  int32_t IntValue(int index) const { return intVars_[index].value; }
  void SetIntValue(int index, int32_t value) { intVars_[index].value = value; }
  int StrCount() const { return strCount_; }
  std::string_view StrName(int index) const { return Text(strVars_[index].name); }
  std::string_view StrValue(int index) const { return Text(strVars_[index].value); }
  void SetStrValue(int index, std::string_view value);  // cut to 255 bytes
  // Appends to the value in place, cut to 255 bytes; text may be a view of any value.
  void AppendStr(int index, std::string_view text);

  // Sets keep insertion order; finding, adding and removing an element cost the same
  // however large the set is.
  int IntSetFind(int32_t value) const;
  bool IntSetContains(int32_t value) const;
  // True when the value is in the set; otherwise adds it and answers false.
  bool IntSetFindAdd(int32_t value);
  void IntSetAdd(int32_t value);
  void IntSetRemove(int32_t value);
  void IntSetClear();
  int StrSetFind(std::string_view text) const;
  bool StrSetContains(std::string_view text) const;
  bool StrSetFindAdd(std::string_view text);
  void StrSetAdd(std::string_view text);
  void StrSetRemove(std::string_view text);
  void StrSetClear();
  int IntSetSize() const;
  int StrSetSize() const;
  int32_t IntSetAt(int index) const;
  std::string_view StrSetAt(int index) const;

  // The whole store as a value and back, for saved games: the tables as their records'
  // bytes, the sets in their order. Restoring keeps the tables' holders where plug-ins
  // look for them, logs nothing and makes earlier lookups stale (a new generation).
  struct Contents {
    std::string intRecords, strRecords;  // IntCount() TIntVar, StrCount() TStrVar records
    std::vector<int32_t> intSet;
    std::vector<std::string> strSet;
    bool operator==(const Contents&) const = default;
  };
  Contents Save() const;
  void Restore(const Contents& contents);

  // Plug-in boundary: the addresses of the variables that hold the tables.
  void* IntVarsAddress() { return &intVars_; }
  void* StrVarsAddress() { return &strVars_; }
  // Plug-ins may rewrite records in place, names included; lookups rebuild their index afterwards.
  void MemoryChangedExternally();

  // Changes whenever a lookup by name may answer differently (a variable created, or the
  // tables rewritten from outside). Values unique across all stores, never 0, so callers
  // may cache lookup results stamped with it.
  uint64_t Generation() const { return generation_; }
  // The bytes the store holds, as the bound counts them.
  int64_t Bytes() const;

  struct Impl;

 private:
  static std::string_view Text(const VelmoraShortString& s) { return {s.chars, s.length}; }

  TIntVar* intVars_ = nullptr;  // element 0 of IntVars, null while empty
  TStrVar* strVars_ = nullptr;  // element 0 of StrVars, null while empty
  int32_t intCount_ = 0, strCount_ = 0;
  int32_t intCapacity_ = 0, strCapacity_ = 0;
  void CheckBound() const;

  uint64_t generation_;
  int64_t maxBytes_;
  int64_t strSetBytes_ = 0;  // the string set's texts with their bookkeeping
  StartupLog& log_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora
