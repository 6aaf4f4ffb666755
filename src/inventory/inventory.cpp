#include "inventory/inventory.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace velmora {

namespace {

void SetShort(VelmoraShortString& s, std::string_view text) {
  const size_t n = text.size() < sizeof s.chars ? text.size() : sizeof s.chars;
  s.length = static_cast<uint8_t>(n);
  std::memcpy(s.chars, text.data(), n);
  std::memset(s.chars + n, 0, sizeof s.chars - n);
}

std::string_view GetShort(const VelmoraShortString& s) { return {s.chars, s.length}; }

}  // namespace

// The array lives in one heap block laid out as plug-ins expect: the header, then the
// records. Capacity grows by doubling, so appending stays cheap; the header's count is
// the number of items, not the capacity.
struct Inventory::Impl {
  VelmoraArrayHeader* block = nullptr;
  int capacity = 0;
  // The lists the records' Lines fields point at; kept here too so that the lists are
  // released with the inventory whatever a plug-in did to a record.
  std::vector<std::unique_ptr<ItemLines>> lines;

  TInvItem* Items() const { return reinterpret_cast<TInvItem*>(block + 1); }
  int Size() const { return block ? block->count : 0; }

  void Reserve(int wanted) {
    if (wanted <= capacity) return;
    int grown = capacity < 8 ? 8 : capacity * 2;
    if (grown < wanted) grown = wanted;
    const size_t bytes = sizeof(VelmoraArrayHeader) + static_cast<size_t>(grown) * sizeof(TInvItem);
    auto* fresh = static_cast<VelmoraArrayHeader*>(std::realloc(block, bytes));
    if (!fresh) throw std::bad_alloc();
    if (!block) *fresh = VelmoraArrayHeader{1, 0};
    block = fresh;
    capacity = grown;
  }
};

Inventory::Inventory() : impl_(new Impl) {}

Inventory::~Inventory() {
  std::free(impl_->block);
  delete impl_;
}

int Inventory::Size() const { return impl_->Size(); }

TInvItem& Inventory::At(int index) const { return impl_->Items()[index]; }

int Inventory::FindItem(std::string_view name) const {
  const int n = Size();
  for (int i = 0; i < n; ++i)
    if (GetShort(At(i).name) == name) return i;
  return -1;
}

int Inventory::FindItemByDisplayName(std::string_view displayName) const {
  const int n = Size();
  for (int i = 0; i < n; ++i)
    if (GetShort(At(i).displayName) == displayName) return i;
  return -1;
}

int Inventory::Append(ItemFields f) {
  const int index = Size();
  impl_->Reserve(index + 1);
  impl_->lines.push_back(std::make_unique<ItemLines>(std::move(f.lines)));
  TInvItem& item = impl_->Items()[index];
  std::memset(&item, 0, sizeof item);
  SetShort(item.name, f.name);
  SetShort(item.displayName, f.displayName);
  SetShort(item.picture, f.picture);
  item.count = f.count;
  item.maxCount = f.maxCount;
  item.enabled = f.enabled ? 1 : 0;
  SetShort(item.script, f.script);
  item.linesCount = f.linesCount;
  item.lines = impl_->lines.back().get();
  item.canEquip = f.canEquip ? 1 : 0;
  SetShort(item.equipScript, f.equipScript);
  SetShort(item.unEquipScript, f.unEquipScript);
  item.isEquipped = f.isEquipped ? 1 : 0;
  impl_->block->count = index + 1;
  return index;
}

ItemFields Inventory::Fields(int index) const {
  ItemFields f;
  f.name = Name(index);
  f.displayName = DisplayName(index);
  f.picture = PictureFile(index);
  f.count = Count(index);
  f.maxCount = MaxCount(index);
  f.enabled = Enabled(index);
  f.script = Script(index);
  f.linesCount = LinesCount(index);
  f.canEquip = CanEquip(index);
  f.isEquipped = IsEquipped(index);
  f.equipScript = EquipScript(index);
  f.unEquipScript = UnEquipScript(index);
  f.lines = Lines(index);
  return f;
}

void Inventory::Clear() {
  if (impl_->block) impl_->block->count = 0;
  impl_->lines.clear();
}

std::string_view Inventory::Name(int index) const { return GetShort(At(index).name); }
std::string_view Inventory::DisplayName(int index) const { return GetShort(At(index).displayName); }
std::string_view Inventory::PictureFile(int index) const { return GetShort(At(index).picture); }
int32_t Inventory::Count(int index) const { return At(index).count; }
int32_t Inventory::MaxCount(int index) const { return At(index).maxCount; }
bool Inventory::Enabled(int index) const { return At(index).enabled != 0; }
std::string_view Inventory::Script(int index) const { return GetShort(At(index).script); }
int32_t Inventory::LinesCount(int index) const { return At(index).linesCount; }
bool Inventory::CanEquip(int index) const { return At(index).canEquip != 0; }
std::string_view Inventory::EquipScript(int index) const { return GetShort(At(index).equipScript); }
std::string_view Inventory::UnEquipScript(int index) const { return GetShort(At(index).unEquipScript); }
bool Inventory::IsEquipped(int index) const { return At(index).isEquipped != 0; }
ItemLines& Inventory::Lines(int index) { return *impl_->lines[static_cast<size_t>(index)]; }
const ItemLines& Inventory::Lines(int index) const { return *impl_->lines[static_cast<size_t>(index)]; }

void Inventory::SetCount(int index, int32_t count) { At(index).count = count; }
void Inventory::SetEnabled(int index, bool enabled) { At(index).enabled = enabled ? 1 : 0; }
void Inventory::SetEquipped(int index, bool equipped) { At(index).isEquipped = equipped ? 1 : 0; }

const TInvItem& Inventory::Record(int index) const { return At(index); }

void* Inventory::ArrayAddress() { return Size() > 0 ? impl_->Items() : nullptr; }

}  // namespace velmora
