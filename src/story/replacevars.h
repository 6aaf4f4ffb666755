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
  // Whether lines may be passed on their own: a pass over a list then equals the passes
  // over each of its lines, put together. False only when a name holds a line break, so
  // that a reference can reach across lines.
  bool LinesIndependent() const;

 private:
  void Run(std::string& text) const;
  void RunLiteral(std::string& text) const;
  Game& game_;
  std::shared_ptr<const SubstitutionIndex> index_;
};

}  // namespace velmora
