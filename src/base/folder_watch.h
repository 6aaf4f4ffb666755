#pragma once
// Watching a game folder for files that change, for live reload in author mode. Editors
// save by writing a new file and renaming it over the old one, so a file's replacement
// counts as its change as well as a write that ends.
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // A descriptor that becomes readable when changes wait, for an event loop to wait on.
  virtual int Descriptor() const = 0;
  // The full paths of files written or replaced since the last call, each once, in the
  // order they changed; empty when none.
  virtual std::vector<std::string> TakeChanges() = 0;
};

}  // namespace velmora
