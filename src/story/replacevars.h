#pragma once
// Substitutes variable and item references ($_name, $cm_item, $c_item, $d_item) into text.
//
// The result is exactly that of the plain method - join the lines, then for every integer
// variable, every string variable and every item (MaxCount, Count, DisplayName) in table
// order replace all occurrences of its reference, then split - but only the references
// that occur in the text, or that a replacement brings in, are ever replaced, so the cost
// follows the text and the references in it, not the size of the tables.
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class Game;
struct SubstitutionIndex;

void Replacevars(Game& game, std::vector<std::string>& lines);

// Substitution passes for callers that run many of them while the tables stay as they
// are (every line of a page, every line of a choice item). Holds the tables' names as
// they were when it was made.
class Substituter {
 public:
  explicit Substituter(Game& game);
  // One Replacevars pass; true when the lines changed.
  bool Apply(std::vector<std::string>& lines) const;
  // The page text as it is built: each line appended in turn, and after each a pass over
  // the whole list. The cost follows the lines that passes still change, not the number
  // of passes times the length of the list.
  std::vector<std::string> ApplyAfterEachAppend(const std::vector<std::string>& source) const;

 private:
  // A pass over one joined text. With `open`, also tells whether at any step a reference
  // could have reached past the text's end (only names with a line break can do that).
  void Run(std::string& text, bool* open = nullptr) const;
  Game& game_;
  std::shared_ptr<const SubstitutionIndex> index_;
};

}  // namespace velmora
