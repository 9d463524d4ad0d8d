#include "plugin/plugin_module.h"

namespace relievo {

PluginModule& pluginModule() {
  static PluginModule module{};
  return module;
}

ToolState* toolStateCreate(SxTool tool, SxResource resource) {
  PluginModule& module = pluginModule();
  if (module.state == nullptr) module.state = toolStateAllocate(tool, resource);
  return module.state;
}

void toolStateRelease() {
  PluginModule& module = pluginModule();
  toolStateFree(module.state);
  module.state = nullptr;
}

}  // namespace relievo
