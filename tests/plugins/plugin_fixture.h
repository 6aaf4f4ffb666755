#pragma once
// Real plug-in libraries copied into a plugins folder below a temporary current
// directory, loaded through dlopen, with every request to the loader recorded.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/dl/dl_loader.h"
#include "plugins/plugin_commands.h"
#include "plugins/plugin_host.h"
#include "base/game.h"
#include "support/test_game.h"

namespace velmora::testing {

// Passes everything on to dlopen and records the loads and unloads asked for.
//
// The player keeps its plug-ins loaded until the process ends; a test unloads them when
// it ends instead. Otherwise the next test's copy, a new file in a new folder, could be
// taken for the loaded one: the loader matches libraries by inode, and the deleted
// folder's inode numbers are reused.
class RecordingLoader : public LibraryLoader {
 public:
  ~RecordingLoader() override {
    for (void* library : held_) real_->Unload(library);
  }
  void* Load(const std::string& name, std::string_view image, std::string& refusal) override {
    loads.push_back(name);
    void* library = real_->Load(name, image, refusal);
    if (library) held_.push_back(library);
    return library;
  }
  std::string_view FileSuffix() const override { return real_->FileSuffix(); }
  void* Symbol(void* library, const char* name) override { return real_->Symbol(library, name); }
  void Unload(void* library) override {
    ++unloads;
    std::erase(held_, library);
    real_->Unload(library);
  }

  std::vector<std::string> loads;
  int unloads = 0;

 private:
  std::unique_ptr<LibraryLoader> real_ = CreateDlLoader();
  std::vector<void*> held_;
};

// Plug-ins are looked for below the current directory: a test moves there and back.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(saved_, ec);
  }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path saved_;
};

class PluginTest : public ::testing::Test {
 public:
  PluginTest() : cwd_(tg.dir.path()) { tg.platform.libraries = &loader; }

  std::filesystem::path PluginsFolder() const { return tg.dir.path() / "plugins"; }

  // Copies a built library into the plugins folder under the entry name given.
  void Install(const char* built, const std::string& entry) const {
    std::filesystem::create_directories(PluginsFolder());
    std::filesystem::copy_file(built, PluginsFolder() / entry);
  }

  // Creates the game, publishes four stand-in window objects and loads the plug-ins.
  Game& Start() {
    game = &tg.Make();
    BuildComponentList(*game, &windows[0], &windows[1], &windows[2], &windows[3]);
    LoadPlugins(*game);
    return *game;
  }

  std::vector<LoadedPlugin*> Plugins() const {
    std::vector<LoadedPlugin*> out;
    for (auto& plugin : game->plugins->impl()->pluginList) out.push_back(plugin.get());
    return out;
  }

  std::vector<std::string> Log() const { return LogMessages(*game); }

  // Runs "$plugin.init name" on its own; the position must move past both tokens.
  void Init(const std::string& name) {
    EXPECT_EQ(RunCommand(*game, {"$plugin.init", name}, CmdPluginInit), 2);
  }

  // The test library's own record of its Initialize calls.
  int InitializeCalls(const LoadedPlugin& plugin) {
    auto calls = reinterpret_cast<int (*)()>(loader.Symbol(plugin.library, "TestInitializeCalls"));
    return calls();
  }
  std::vector<void*> LastInitializeArguments(const LoadedPlugin& plugin) {
    auto last = reinterpret_cast<void (*)(void**)>(loader.Symbol(plugin.library, "TestLastInitialize"));
    std::vector<void*> out(4);
    last(out.data());
    return out;
  }

  RecordingLoader loader;  // outlives the game
  TestGame tg;
  Game* game = nullptr;
  int windows[4] = {};

 private:
  CurrentDirectory cwd_;
};

}  // namespace velmora::testing
