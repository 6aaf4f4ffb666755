#pragma once
// The player's own top-level windows are plain widgets drawn by the skin (no system
// frame), which a screen reader would otherwise see as fillers: they are announced as
// frames named by their titles.
namespace velmora {

// Once per application, before the windows are shown.
void InstallAccessibleFrames();

}  // namespace velmora
