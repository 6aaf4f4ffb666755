#pragma once
// The story file's pages in file order, which the INI reader does not keep.
#include <string>
#include <vector>

namespace velmora {

class GameFiles;
class IniDocument;

// Section names in file order, as written.
std::vector<std::string> StorySectionNames(GameFiles& files, const std::string& path);
// The page sections among them: without WriterList, empty sections and later spellings
// of a name already listed.
std::vector<std::string> StoryPageNames(const IniDocument& story, const std::vector<std::string>& sections);

}  // namespace velmora
