#include "vars/var_store.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/fault.h"
#include "base/int_text.h"
#include "vars/name_index.h"
#include "vars/ordered_set.h"

namespace velmora {

namespace {

// What one set element costs besides a string's own bytes: its hash-map node, its slot in
// the order and the map's bucket.
constexpr int64_t kIntElementBytes = 64;
constexpr int64_t kStrElementBytes = 96;

uint64_t NextGeneration() {
  static std::atomic<uint64_t> counter {0};
  return ++counter;
}

void SetShort(VelmoraShortString& s, std::string_view text) {
  const size_t n = std::min<size_t>(text.size(), sizeof s.chars);
  s.length = static_cast<uint8_t>(n);
  // The text may be a piece of this very record; an empty view may have no data at all.
  if (n > 0) std::memmove(s.chars, text.data(), n);
  std::memset(s.chars + n, 0, sizeof s.chars - n);
}

VelmoraArrayHeader* HeaderOf(void* first) { return static_cast<VelmoraArrayHeader*>(first) - 1; }

// Appends one zeroed record to a dynamic array whose block may hold more records than
// its count; the block doubles when full (and may move). Returns the new record.
template <class T>
T& AppendRecord(T*& first, int32_t& count, int32_t& capacity) {
  if (count == capacity) {
    const int32_t grown = capacity == 0 ? 16 : capacity * 2;
    void* block = first ? static_cast<void*>(HeaderOf(first)) : nullptr;
    block = std::realloc(block, sizeof(VelmoraArrayHeader) + static_cast<size_t>(grown) * sizeof(T));
    if (!block) throw std::bad_alloc();
    auto* header = static_cast<VelmoraArrayHeader*>(block);
    header->refCount = 1;
    first = reinterpret_cast<T*>(header + 1);
    capacity = grown;
  }
  T& record = first[count];
  std::memset(&record, 0, sizeof record);
  HeaderOf(first)->count = ++count;
  return record;
}

template <class T>
void FreeArray(T*& first) {
  if (first) std::free(HeaderOf(first));
  first = nullptr;
}

}  // namespace

struct VarStore::Impl {
  NameIndex intIndex, strIndex;
  OrderedSet<int32_t, int32_t> intSet;
  OrderedSet<std::string, std::string_view> strSet;
};

VarStore::VarStore(StartupLog& log, int64_t maxBytes)
    : generation_(NextGeneration()), maxBytes_(maxBytes), log_(log), impl_(std::make_unique<Impl>()) {}

int64_t VarStore::Bytes() const {
  return static_cast<int64_t>(intCapacity_) * static_cast<int64_t>(sizeof(TIntVar)) +
         static_cast<int64_t>(strCapacity_) * static_cast<int64_t>(sizeof(TStrVar)) +
         static_cast<int64_t>(impl_->intSet.Size()) * kIntElementBytes + strSetBytes_;
}

void VarStore::CheckBound() const {
  if (Bytes() > maxBytes_) [[unlikely]]
    throw RuntimeFault("Too many variables and set elements: they hold more than " +
                       std::to_string(maxBytes_ >> 20) + " MB");
}

VarStore::~VarStore() {
  FreeArray(intVars_);
  FreeArray(strVars_);
}

int VarStore::FindVar(std::string_view name, bool isString) const {
  // Stored names are cut to 255 bytes, so a longer name matches none of them.
  if (name.size() > 255) return -1;
  if (isString) return impl_->strIndex.Find(name, [this](int32_t i) { return StrName(i); });
  return impl_->intIndex.Find(name, [this](int32_t i) { return IntName(i); });
}

void VarStore::NewIntVar(std::string_view name, int32_t value) {
  if (FindVar(name, false) != -1) {
    log_.WriteLog(2, "Variable: " + std::string(name) + " already exists!");
    return;
  }
  TIntVar& v = AppendRecord(intVars_, intCount_, intCapacity_);
  SetShort(v.name, name);
  v.value = value;
  impl_->intIndex.Insert(intCount_ - 1, [this](int32_t i) { return IntName(i); });
  generation_ = NextGeneration();
  log_.WriteLog(1, "Created new variable: " + std::string(name));
  CheckBound();
}

void VarStore::NewStrVar(std::string_view name, std::string_view value) {
  if (FindVar(name, true) != -1) {
    log_.WriteLog(2, "Variable: " + std::string(name) + " already exists!");
    return;
  }
  TStrVar& v = AppendRecord(strVars_, strCount_, strCapacity_);
  SetShort(v.name, name);
  SetShort(v.value, value);
  impl_->strIndex.Insert(strCount_ - 1, [this](int32_t i) { return StrName(i); });
  generation_ = NextGeneration();
  log_.WriteLog(1, "Created new variable: " + std::string(name));
  CheckBound();
}

int32_t VarStore::IntOperand(std::string_view token) const {
  const int i = FindVar(token, false);
  return i != -1 ? IntValue(i) : StrToInt(token);
}

std::string VarStore::StrOperand(std::string_view token) const {
  const int i = FindVar(token, true);
  return std::string(i != -1 ? StrValue(i) : token);
}

void VarStore::SetStrValue(int index, std::string_view value) { SetShort(strVars_[index].value, value); }

void VarStore::AppendStr(int index, std::string_view text) {
  VelmoraShortString& s = strVars_[index].value;
  const size_t n = std::min<size_t>(text.size(), sizeof s.chars - s.length);
  std::memmove(s.chars + s.length, text.data(), n);  // the text may be this very value
  s.length = static_cast<uint8_t>(s.length + n);
}

int VarStore::IntSetFind(int32_t value) const { return impl_->intSet.Find(value); }
bool VarStore::IntSetContains(int32_t value) const { return impl_->intSet.Contains(value); }
bool VarStore::IntSetFindAdd(int32_t value) {
  if (impl_->intSet.FindAdd(value)) return true;
  CheckBound();
  return false;
}
void VarStore::IntSetAdd(int32_t value) {
  impl_->intSet.Add(value);
  CheckBound();
}
void VarStore::IntSetRemove(int32_t value) { impl_->intSet.Remove(value); }
void VarStore::IntSetClear() { impl_->intSet.Clear(); }
int VarStore::IntSetSize() const { return impl_->intSet.Size(); }
int32_t VarStore::IntSetAt(int index) const { return impl_->intSet.At(index); }

int VarStore::StrSetFind(std::string_view text) const { return impl_->strSet.Find(text); }
bool VarStore::StrSetContains(std::string_view text) const { return impl_->strSet.Contains(text); }
bool VarStore::StrSetFindAdd(std::string_view text) {
  if (impl_->strSet.FindAdd(text)) return true;
  strSetBytes_ += kStrElementBytes + static_cast<int64_t>(text.size());
  CheckBound();
  return false;
}
void VarStore::StrSetAdd(std::string_view text) {
  impl_->strSet.Add(text);
  strSetBytes_ += kStrElementBytes + static_cast<int64_t>(text.size());
  CheckBound();
}
void VarStore::StrSetRemove(std::string_view text) {
  const int before = impl_->strSet.Size();
  impl_->strSet.Remove(text);
  if (impl_->strSet.Size() < before) strSetBytes_ -= kStrElementBytes + static_cast<int64_t>(text.size());
}
void VarStore::StrSetClear() {
  impl_->strSet.Clear();
  strSetBytes_ = 0;
}
int VarStore::StrSetSize() const { return impl_->strSet.Size(); }
std::string_view VarStore::StrSetAt(int index) const { return impl_->strSet.At(index); }

VarStore::Contents VarStore::Save() const {
  Contents c;
  if (intCount_ > 0)
    c.intRecords.assign(reinterpret_cast<const char*>(intVars_), static_cast<size_t>(intCount_) * sizeof(TIntVar));
  if (strCount_ > 0)
    c.strRecords.assign(reinterpret_cast<const char*>(strVars_), static_cast<size_t>(strCount_) * sizeof(TStrVar));
  for (int i = 0; i < IntSetSize(); ++i) c.intSet.push_back(IntSetAt(i));
  for (int i = 0; i < StrSetSize(); ++i) c.strSet.emplace_back(StrSetAt(i));
  return c;
}

namespace {

// Refills a table from whole records; the block only grows, so a plug-in that kept the
// table's holder finds the restored records there.
template <class T>
void RefillTable(T*& first, int32_t& count, int32_t& capacity, const std::string& bytes) {
  const auto wanted = static_cast<int32_t>(bytes.size() / sizeof(T));
  if (first) HeaderOf(first)->count = count = 0;
  for (int32_t i = 0; i < wanted; ++i)
    std::memcpy(&AppendRecord(first, count, capacity), bytes.data() + static_cast<size_t>(i) * sizeof(T), sizeof(T));
}

}  // namespace

void VarStore::Restore(const Contents& c) {
  RefillTable(intVars_, intCount_, intCapacity_, c.intRecords);
  RefillTable(strVars_, strCount_, strCapacity_, c.strRecords);
  impl_->intSet.Clear();
  for (int32_t v : c.intSet) impl_->intSet.Add(v);
  impl_->strSet.Clear();
  strSetBytes_ = 0;
  for (const std::string& s : c.strSet) {
    impl_->strSet.Add(s);
    strSetBytes_ += kStrElementBytes + static_cast<int64_t>(s.size());
  }
  MemoryChangedExternally();
}

void VarStore::MemoryChangedExternally() {
  impl_->intIndex.Rebuild(intCount_, [this](int32_t i) { return IntName(i); });
  impl_->strIndex.Rebuild(strCount_, [this](int32_t i) { return StrName(i); });
  generation_ = NextGeneration();
}

}  // namespace velmora
