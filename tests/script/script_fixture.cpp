#include "script_fixture.h"

#include "script/interpreter.h"
#include "script/script_library.h"
#include "vars/var_store.h"

namespace velmora::testing {

Game& ScriptTest::Load(const std::string& library) {
  t.dir.Write("Scripts/Scripts.bsf", library);
  game = &t.Make();
  LoadScriptLibrary(*game);
  return *game;
}

void ScriptTest::RunBody(const std::string& body) {
  Load("___script main\r\n" + body + "\r\n___end\r\n");
  Run("main");
}

void ScriptTest::Run(const std::string& name) {
  game->RunEvent([&] { RunScript(*game, name); });
}

int32_t ScriptTest::Step(const std::vector<std::string>& tokens, int32_t p) {
  if (!game) game = &t.Make();
  TokenList list;
  list.tokens = tokens;
  list.Resolve(*game->interp->commands);
  ExecuteCommand(*game, list, p);
  return p;
}

bool ScriptTest::HasInt(const std::string& name) const { return game->vars->FindVar(name, false) != -1; }

int32_t ScriptTest::Int(const std::string& name) const {
  const int i = game->vars->FindVar(name, false);
  EXPECT_NE(i, -1) << "no integer variable " << name;
  return i == -1 ? 0 : game->vars->IntValue(i);
}

std::string ScriptTest::Str(const std::string& name) const {
  const int i = game->vars->FindVar(name, true);
  EXPECT_NE(i, -1) << "no string variable " << name;
  return i == -1 ? std::string() : std::string(game->vars->StrValue(i));
}

std::vector<std::string> ScriptTest::Messages(size_t from) const {
  std::vector<std::string> out;
  const auto& lines = game->log.Lines();
  for (size_t i = from; i < lines.size(); ++i) out.push_back(lines[i].substr(lines[i].find(" | ", 13) + 3));
  return out;
}

size_t ScriptTest::LogSize() const { return game->log.Lines().size(); }

std::string PagesStory(const std::vector<std::string>& pages) {
  std::string text;
  for (const auto& page : pages) text += "[" + page + "]\r\nPage.TextSize=0\r\n";
  return text;
}

}  // namespace velmora::testing
