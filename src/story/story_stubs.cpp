// Placeholder until the story pages land.
#include "shell/game.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "story/pictures.h"
#include "story/replacevars.h"

namespace velmora {

void LoadPage(Game&, const std::string&) {}
void LoadPageText(Game&, const std::string&) {}
void Replacevars(Game&, std::vector<std::string>&) {}
void UpdateList(Game&) {}
int sListBox1MeasureItem(Game&, int, int height) { return height; }
std::vector<std::string> sListBox1DrawItemLines(Game&, int) { return {}; }
ChoiceFont ChoiceDrawingFont(Game&) { return {"MS Sans Serif", 10}; }
void sListBox1DblClick(Game&) {}
void Timer2Timer(Game&) {}
void Timer3Timer(Game&) {}
std::shared_ptr<const Picture> LoadPicture(Game&, const std::string&) { return nullptr; }

}  // namespace velmora
