#pragma once
// The checker's findings about the story's shape and its scripts' memory: dead ends,
// scripts and labels nothing runs, variables read that no script creates.
#include <string>
#include <vector>

#include "tools/story_checker.h"
#include "tools/story_map.h"

namespace velmora {

class ScriptLibrary;

// Findings as warnings: each a file, the page, script or label, and why.
std::vector<CheckFinding> CheckStoryShape(const StoryMap& map, const ScriptLibrary& library,
                                          const std::string& storyFile, const std::string& scriptFile);

}  // namespace velmora
