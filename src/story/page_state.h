#pragma once
// The current page and its actions, replaced by every page load.
#include <string>
#include <vector>

namespace velmora {

struct TAction {
  std::string script;              // script that choosing the action runs
  std::vector<std::string> lines;  // the action's text as read, before substitution
  bool enabled = true;
};

struct PageState {
  std::string currentPage;
  std::string pageAction;
  std::string pageParam;
  std::string fastScript;
  std::vector<TAction> actions;
};

}  // namespace velmora
