#include "story/replacevars.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <queue>
#include <string_view>

#include "inventory/inventory.h"
#include "base/game.h"
#include "story/page_state.h"
#include "story/text_lines.h"
#include "vars/var_store.h"

namespace velmora {

namespace {

constexpr std::string_view kVarPrefix = "$_";
constexpr std::string_view kMaxCountPrefix = "$cm_";
constexpr std::string_view kCountPrefix = "$c_";
constexpr std::string_view kDisplayPrefix = "$d_";

// Names sorted as bytes, each with the ids it stands for (a name may stand for an integer
// and a string variable, or for several records cut to the same 255 bytes).
struct NameDict {
  std::vector<std::string> names;
  std::vector<uint32_t> idStart;  // ids of names[k]: ids[idStart[k] .. idStart[k + 1])
  std::vector<int32_t> ids;
  size_t longest = 0;

  void Build(std::vector<std::pair<std::string, int32_t>> entries) {
    std::sort(entries.begin(), entries.end());
    names.clear();
    idStart.clear();
    ids.clear();
    longest = 0;
    for (auto& [name, id] : entries) {
      if (names.empty() || names.back() != name) {
        idStart.push_back(static_cast<uint32_t>(ids.size()));
        longest = std::max(longest, name.size());
        names.push_back(std::move(name));
      }
      ids.push_back(id);
    }
    idStart.push_back(static_cast<uint32_t>(ids.size()));
  }

  // Whether some name starts with these bytes.
  bool HasNameStartingWith(std::string_view bytes) const {
    auto it = std::lower_bound(names.begin(), names.end(), bytes,
                               [](const std::string& name, std::string_view b) { return std::string_view(name) < b; });
    return it != names.end() && std::string_view(*it).starts_with(bytes);
  }

  // Calls emit(id) for every name that the text at [p, end) starts with. Walks the sorted
  // names one byte at a time, narrowing the range that shares the bytes read so far.
  template <class Emit>
  void Matches(const char* p, const char* end, Emit&& emit) const {
    size_t lo = 0, hi = names.size();
    for (size_t d = 0; lo < hi; ++d) {
      if (names[lo].size() == d) {  // the one name equal to the bytes read sorts first
        for (uint32_t k = idStart[lo]; k < idStart[lo + 1]; ++k) emit(ids[k]);
        if (++lo == hi) break;
      }
      if (static_cast<size_t>(end - p) <= d) break;
      const auto c = static_cast<unsigned char>(p[d]);
      auto first = names.begin() + static_cast<ptrdiff_t>(lo), last = names.begin() + static_cast<ptrdiff_t>(hi);
      auto below = [d, c](const std::string& s) { return static_cast<unsigned char>(s[d]) < c; };
      auto upTo = [d, c](const std::string& s) { return static_cast<unsigned char>(s[d]) <= c; };
      auto from = std::partition_point(first, last, below);
      auto to = std::partition_point(from, last, upTo);
      lo = static_cast<size_t>(from - names.begin());
      hi = static_cast<size_t>(to - names.begin());
    }
  }
};

bool HasLineBreakIn(const std::vector<std::string>& names) {
  return std::any_of(names.begin(), names.end(), [](const std::string& n) { return HasLineBreak(n); });
}

template <class Table>
bool SameNames(const std::vector<std::string>& kept, int count, Table&& nameAt) {
  if (kept.size() != static_cast<size_t>(count)) return false;
  for (int i = 0; i < count; ++i)
    if (kept[static_cast<size_t>(i)] != nameAt(i)) return false;
  return true;
}

}  // namespace

// The tables' names and a dictionary over them; rebuilt only when a name changes. Steps
// are numbered in the order they run: integer variables, then string variables, then
// three per item (MaxCount, Count, DisplayName).
struct SubstitutionIndex {
  std::vector<std::string> intNames, strNames, itemNames;
  NameDict vars;   // ids: step numbers
  NameDict items;  // ids: item indexes
  bool lineBreakInName = false;

  int32_t ItemBase() const { return static_cast<int32_t>(intNames.size() + strNames.size()); }
  int32_t StepCount() const { return ItemBase() + 3 * static_cast<int32_t>(itemNames.size()); }

  bool Matches(const VarStore& v, const Inventory& inv) const {
    return SameNames(intNames, v.IntCount(), [&](int i) { return v.IntName(i); }) &&
           SameNames(strNames, v.StrCount(), [&](int i) { return v.StrName(i); }) &&
           SameNames(itemNames, inv.Size(), [&](int i) { return inv.Name(i); });
  }

  void Build(const VarStore& v, const Inventory& inv) {
    intNames.clear();
    strNames.clear();
    itemNames.clear();
    for (int i = 0; i < v.IntCount(); ++i) intNames.emplace_back(v.IntName(i));
    for (int i = 0; i < v.StrCount(); ++i) strNames.emplace_back(v.StrName(i));
    for (int i = 0; i < inv.Size(); ++i) itemNames.emplace_back(inv.Name(i));
    std::vector<std::pair<std::string, int32_t>> entries;
    int32_t step = 0;
    for (const auto& n : intNames) entries.emplace_back(n, step++);
    for (const auto& n : strNames) entries.emplace_back(n, step++);
    vars.Build(std::move(entries));
    entries.clear();
    for (size_t j = 0; j < itemNames.size(); ++j) entries.emplace_back(itemNames[j], static_cast<int32_t>(j));
    items.Build(std::move(entries));
    lineBreakInName = HasLineBreakIn(intNames) || HasLineBreakIn(strNames) || HasLineBreakIn(itemNames);
  }

  // Pushes every step after `after` whose reference starts at a '$' with its start in
  // [from, to) of text.
  void Scan(const std::string& text, size_t from, size_t to, int32_t after,
            std::priority_queue<int32_t, std::vector<int32_t>, std::greater<>>& due) const {
    const char* base = text.data();
    const char* end = base + text.size();
    const char* p = base + from;
    const char* stop = base + std::min(to, text.size());
    auto push = [&](int32_t step) {
      if (step > after) due.push(step);
    };
    while (p < stop) {
      p = static_cast<const char*>(std::memchr(p, '$', static_cast<size_t>(stop - p)));
      if (!p) break;
      std::string_view rest(p, static_cast<size_t>(end - p));
      if (rest.starts_with(kVarPrefix)) {
        vars.Matches(p + kVarPrefix.size(), end, push);
      } else if (rest.starts_with(kMaxCountPrefix)) {
        items.Matches(p + kMaxCountPrefix.size(), end, [&](int32_t j) { push(ItemBase() + 3 * j); });
      } else if (rest.starts_with(kCountPrefix)) {
        items.Matches(p + kCountPrefix.size(), end, [&](int32_t j) { push(ItemBase() + 3 * j + 1); });
      } else if (rest.starts_with(kDisplayPrefix)) {
        items.Matches(p + kDisplayPrefix.size(), end, [&](int32_t j) { push(ItemBase() + 3 * j + 2); });
      }
      ++p;
    }
  }

  // The longest reference: a replacement can form a new one only this far before it.
  size_t LongestPattern() const {
    return std::max(kVarPrefix.size() + vars.longest, kMaxCountPrefix.size() + items.longest);
  }

  // Whether the text ends in the beginning of a reference (or in a whole one), which text
  // after it could complete or change.
  bool ReachesPastEnd(std::string_view text) const {
    const size_t from = text.size() > LongestPattern() ? text.size() - LongestPattern() : 0;
    for (size_t p = text.find('$', from); p != std::string_view::npos; p = text.find('$', p + 1)) {
      const std::string_view rest = text.substr(p);
      auto begins = [&](std::string_view prefix, const NameDict& dict) {
        if (dict.names.empty()) return false;
        if (rest.size() <= prefix.size()) return prefix.starts_with(rest);
        return rest.starts_with(prefix) && dict.HasNameStartingWith(rest.substr(prefix.size()));
      };
      if (begins(kVarPrefix, vars) || begins(kMaxCountPrefix, items) || begins(kCountPrefix, items) ||
          begins(kDisplayPrefix, items))
        return true;
    }
    return false;
  }
};

namespace {

std::string Decimal(int32_t v) {
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// Pattern and value of one step, the value read now from the tables.
std::pair<std::string, std::string> StepText(const SubstitutionIndex& ix, Game& game, int32_t step) {
  const auto ints = static_cast<int32_t>(ix.intNames.size());
  const auto strs = static_cast<int32_t>(ix.strNames.size());
  if (step < ints) return {std::string(kVarPrefix) + ix.intNames[step], Decimal(game.vars->IntValue(step))};
  if (step < ints + strs) {
    const int32_t i = step - ints;
    return {std::string(kVarPrefix) + ix.strNames[i], std::string(game.vars->StrValue(i))};
  }
  const int32_t j = (step - ints - strs) / 3;
  const std::string& name = ix.itemNames[j];
  switch ((step - ints - strs) % 3) {
    case 0: return {std::string(kMaxCountPrefix) + name, Decimal(game.inventory->MaxCount(j))};
    case 1: return {std::string(kCountPrefix) + name, Decimal(game.inventory->Count(j))};
    default: return {std::string(kDisplayPrefix) + name, std::string(game.inventory->DisplayName(j))};
  }
}

// Replaces every occurrence of pattern, left to right, not rescanning what it inserts.
// Records where each value went in the new text. False when nothing matched.
bool ReplaceAll(const std::string& text, const std::string& pattern, const std::string& value, std::string& out,
                std::vector<size_t>& sites) {
  size_t pos = text.find(pattern);
  if (pos == std::string::npos) return false;
  out.clear();
  sites.clear();
  size_t from = 0;
  while (pos != std::string::npos) {
    out.append(text, from, pos - from);
    sites.push_back(out.size());
    out += value;
    from = pos + pattern.size();
    pos = text.find(pattern, from);
  }
  out.append(text, from, std::string::npos);
  return true;
}

// Every CR is followed by a LF and every LF follows a CR.
bool IsJoinedForm(std::string_view text) {
  for (size_t i = text.find_first_of("\r\n"); i != std::string_view::npos; i = text.find_first_of("\r\n", i + 2)) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') return false;
  }
  return true;
}

std::shared_ptr<const SubstitutionIndex> CurrentIndex(Game& game) {
  auto& slot = game.page->substitutionIndex;
  if (!slot || !slot->Matches(*game.vars, *game.inventory)) {
    auto fresh = std::make_shared<SubstitutionIndex>();
    fresh->Build(*game.vars, *game.inventory);
    slot = std::move(fresh);
  }
  return slot;
}

}  // namespace

Substituter::Substituter(Game& game) : game_(game), index_(CurrentIndex(game)) {}

void Substituter::Run(std::string& text, bool* open) const {
  // Each step of the plain method splits the text into lines and joins them again, which
  // turns every line end into CR LF. That only matters when a line end stands alone: a
  // value's CR before a LF that follows it would otherwise read as one line end instead of
  // two, and a reference whose name holds a line break may take half of one. So the text
  // is kept in that joined form: from the first step on, and again after every step whose
  // reference or value holds a line end.
  std::string next;
  std::vector<size_t> sites;
  std::string tail;  // the end of the text when `open` was last worked out
  auto watchEnd = [&] {
    if (!open || *open || !index_->lineBreakInName) return;
    const size_t n = std::min(index_->LongestPattern(), text.size());
    if (tail.size() == n && text.compare(text.size() - n, n, tail) == 0) return;
    tail.assign(text, text.size() - n, n);
    *open = index_->ReachesPastEnd(text);
  };
  watchEnd();
  int32_t done = -1;  // steps up to this one have run
  if (!IsJoinedForm(text) && index_->StepCount() > 0) {
    auto [pattern, value] = StepText(*index_, game_, 0);  // the first step sees the text as given
    if (ReplaceAll(text, pattern, value, next, sites)) text.swap(next);
    text = JoinLines(SplitLines(text));
    done = 0;
    watchEnd();
  }
  // A reference can be in the text from the start, or be formed by a replacement: from
  // the inserted value alone, or with text on either side of it (also when an empty value
  // joins the text around a removed reference). Later steps only ever need to look there.
  std::priority_queue<int32_t, std::vector<int32_t>, std::greater<>> due;
  index_->Scan(text, 0, text.size(), done, due);
  const size_t reach = index_->LongestPattern();
  int32_t last = -1;
  while (!due.empty()) {
    const int32_t step = due.top();
    due.pop();
    if (step == last) continue;
    last = step;
    auto [pattern, value] = StepText(*index_, game_, step);
    if (!ReplaceAll(text, pattern, value, next, sites)) continue;
    text.swap(next);
    if (HasLineBreak(value) || HasLineBreak(pattern)) {
      text = JoinLines(SplitLines(text));
      index_->Scan(text, 0, text.size(), step, due);
    } else {
      size_t scanned = 0;
      for (size_t site : sites) {
        size_t from = std::max(scanned, site >= reach ? site - reach + 1 : 0);
        size_t to = site + value.size();
        if (from < to) index_->Scan(text, from, to, step, due);
        scanned = std::max(scanned, to);
      }
    }
    watchEnd();
  }
}

std::vector<std::string> Substituter::ApplyAfterEachAppend(const std::vector<std::string>& source) const {
  // A pass over a text A + B is the pass over A followed by the pass over B when A ends
  // with a line end and no reference reaches from A past its end at any step of A's own
  // pass ("open"): each step then finds in A + B exactly what it finds in each part, and
  // A's result still ends with a line end. So the list is kept as units of lines, each
  // passed on its own; a unit whose pass reaches past its end is passed together with
  // the next unit and merged with it. A unit that its own pass leaves unchanged and that
  // is not open stays so (the tables do not change meanwhile), so it is passed over.
  struct Unit {
    std::vector<std::string> lines;
    int32_t next = -1;  // the next live unit
    bool live = true;
  };
  std::vector<Unit> units;
  units.reserve(source.size());
  std::vector<int32_t> moving, stillMoving;  // units to pass, in list order
  int32_t lastUnit = -1;
  std::string text, result;
  for (const std::string& line : source) {
    units.push_back({{line}});
    const auto added = static_cast<int32_t>(units.size() - 1);
    if (lastUnit >= 0) units[static_cast<size_t>(lastUnit)].next = added;
    lastUnit = added;
    moving.push_back(added);
    stillMoving.clear();
    for (int32_t k : moving) {
      Unit& first = units[static_cast<size_t>(k)];
      if (!first.live) continue;  // merged into a group earlier in this pass
      int32_t end = k;
      text = JoinLines(first.lines);
      bool open = false;
      for (;;) {
        result = text;
        open = false;
        if (result.find('$') != std::string::npos) Run(result, &open);
        const int32_t after = units[static_cast<size_t>(end)].next;
        if (!open || after < 0) break;
        end = after;
        text += JoinLines(units[static_cast<size_t>(end)].lines);
      }
      if (end != k) {
        for (int32_t u = first.next; u != units[static_cast<size_t>(end)].next;) {
          Unit& merged = units[static_cast<size_t>(u)];
          merged.live = false;
          merged.lines.clear();
          u = merged.next;
        }
        first.next = units[static_cast<size_t>(end)].next;
        if (lastUnit == end) lastUnit = k;
      }
      const bool changed = result != text;
      if (changed || end != k) first.lines = SplitLines(result);
      if (changed || open) stillMoving.push_back(k);
    }
    moving.swap(stillMoving);
  }
  std::vector<std::string> lines;
  for (int32_t u = units.empty() ? -1 : 0; u >= 0; u = units[static_cast<size_t>(u)].next)
    for (auto& line : units[static_cast<size_t>(u)].lines) lines.push_back(std::move(line));
  return lines;
}

bool Substituter::Apply(std::vector<std::string>& lines) const {
  // Without a '$' nothing is replaced, and lines without line ends join and split unchanged.
  const bool inert = std::none_of(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.find_first_of("$\r\n") != std::string::npos; });
  if (inert) return false;
  std::string text = JoinLines(lines);
  Run(text);
  auto result = SplitLines(text);
  bool changed = result != lines;
  lines.swap(result);
  return changed;
}

void Replacevars(Game& game, std::vector<std::string>& lines) { Substituter(game).Apply(lines); }

}  // namespace velmora
