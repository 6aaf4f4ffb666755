// Placeholder until the plug-in host lands.
#include "plugins/plugin_host.h"

namespace velmora {

struct PluginHost::Impl {};
PluginHost::PluginHost() : impl_(nullptr) {}
PluginHost::~PluginHost() = default;
void BuildComponentList(Game&, void*, void*, void*, void*) {}
void LoadPlugins(Game&) {}

}  // namespace velmora
