#pragma once
// The current page and its actions, replaced by every page load.
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct SubstitutionIndex;

struct Action {
  std::string script;              // script that choosing the action runs
  std::vector<std::string> lines;  // the action's text as read, before substitution
  bool enabled = true;
};

struct PageState {
  std::string currentPage;
  std::string pageAction;
  std::string pageParam;
  std::string fastScript;
  std::vector<Action> actions;
  // The names of the variable and item tables, indexed for text substitution; kept
  // between calls because the tables only ever grow.
  std::shared_ptr<SubstitutionIndex> substitutionIndex;
};

}  // namespace velmora
