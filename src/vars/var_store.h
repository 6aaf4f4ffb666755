#pragma once
// Named integer and string variables and the integer and string sets of one run.
// The two variable tables are kept in the memory form plug-ins receive (a dynamic array:
// 32-bit reference count, 32-bit element count, then 260-byte TIntVar / 512-byte TStrVar
// records), so a plug-in that holds the tables' addresses sees them grow.
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/startup_log.h"

namespace velmora {

class VarStore {
 public:
  explicit VarStore(StartupLog& log);
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

  int IntCount() const;
  std::string_view IntName(int index) const;
  int32_t IntValue(int index) const;
  void SetIntValue(int index, int32_t value);
  int StrCount() const;
  std::string_view StrName(int index) const;
  std::string_view StrValue(int index) const;
  void SetStrValue(int index, std::string_view value);  // cut to 255 bytes

  int IntSetFind(int32_t value) const;
  void IntSetAdd(int32_t value);
  void IntSetRemove(int32_t value);
  void IntSetClear();
  int StrSetFind(std::string_view text) const;
  void StrSetAdd(std::string_view text);
  void StrSetRemove(std::string_view text);
  void StrSetClear();
  int IntSetSize() const;
  int StrSetSize() const;

  // Plug-in boundary: the addresses of the variables that hold the tables.
  void* IntVarsAddress();
  void* StrVarsAddress();
  // Plug-ins may rewrite records in place; lookups rebuild their index afterwards.
  void MemoryChangedExternally();

  struct Impl;

 private:
  Impl* impl_;
};

}  // namespace velmora
