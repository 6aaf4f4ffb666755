// Placeholder until the variable store lands.
#include "vars/var_store.h"

#include "shell/int_text.h"

namespace velmora {

struct VarStore::Impl {};

VarStore::VarStore(StartupLog&) : impl_(nullptr) {}
VarStore::~VarStore() = default;
int VarStore::FindVar(std::string_view, bool) const { return -1; }
void VarStore::NewIntVar(std::string_view, int32_t) {}
void VarStore::NewStrVar(std::string_view, std::string_view) {}
int32_t VarStore::IntOperand(std::string_view token) const { return StrToInt(token); }
std::string VarStore::StrOperand(std::string_view token) const { return std::string(token); }
int VarStore::IntCount() const { return 0; }
std::string_view VarStore::IntName(int) const { return {}; }
int32_t VarStore::IntValue(int) const { return 0; }
void VarStore::SetIntValue(int, int32_t) {}
int VarStore::StrCount() const { return 0; }
std::string_view VarStore::StrName(int) const { return {}; }
std::string_view VarStore::StrValue(int) const { return {}; }
void VarStore::SetStrValue(int, std::string_view) {}
int VarStore::IntSetFind(int32_t) const { return -1; }
void VarStore::IntSetAdd(int32_t) {}
void VarStore::IntSetRemove(int32_t) {}
void VarStore::IntSetClear() {}
int VarStore::StrSetFind(std::string_view) const { return -1; }
void VarStore::StrSetAdd(std::string_view) {}
void VarStore::StrSetRemove(std::string_view) {}
void VarStore::StrSetClear() {}
int VarStore::IntSetSize() const { return 0; }
int VarStore::StrSetSize() const { return 0; }
void* VarStore::IntVarsAddress() { return nullptr; }
void* VarStore::StrVarsAddress() { return nullptr; }
void VarStore::MemoryChangedExternally() {}

}  // namespace velmora
