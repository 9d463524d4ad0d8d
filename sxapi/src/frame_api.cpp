// The frame calls: module, resources, help file and tool registration.
#include <cstdarg>
#include <filesystem>

#include "host_state.h"
#include "sxapilib.h"
#include "sxhost/error.h"

using namespace sxhost;
using namespace sxhost::detail;

extern "C" SxModule sxGetModuleHandle(SxPlugin plugin) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  PluginRec* p = s->plugin(plugin);
  if (p == nullptr) {
    s->fail("sxGetModuleHandle: not a loaded plug-in");
    return nullptr;
  }
  return toHandle<SxModule>(p->module);
}

extern "C" SxResource sxLoadResource(SxModule module) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  auto m = s->modules.find(idOf(module));
  if (m == s->modules.end()) {
    s->fail("sxLoadResource: not a module handle");
    return nullptr;
  }
  const std::filesystem::path modulePath(s->plugins.at(m->second).info.path);
  const std::string path =
      (modulePath.parent_path() / (modulePath.stem().string() + ".rsrc.json")).string();
  try {
    return s->addResource(readResourceFile(path), path, m->second);
  } catch (const Error& e) {
    s->fail(e.what());
    return nullptr;
  }
}

extern "C" void sxUnloadResource(SxResource resource) {
  HostState* s = state();
  if (s == nullptr) return;
  auto it = s->resources.find(idOf(resource));
  if (it == s->resources.end()) return;
  for (auto& [id, pixmap] : it->second.pixmaps)
    s->pixmaps.erase(pixmap);
  s->resources.erase(it);
}

extern "C" int sxRegisterHelpFile(SxPlugin plugin, const char* file) {
  HostState* s = state();
  if (s == nullptr) return -1;
  PluginRec* p = s->plugin(plugin);
  if (p == nullptr) return s->fail("sxRegisterHelpFile: not a loaded plug-in");
  if (file == nullptr || *file == '\0') return s->fail("sxRegisterHelpFile: no file name");
  p->info.helpFiles.emplace_back(file);
  return 0;
}

extern "C" SxTool sxRegisterViewer(SxPlugin plugin, const char* name, SxToolStartFn startFn,
                                   SxResource resource, ...) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  if (s->plugin(plugin) == nullptr) {
    s->fail("sxRegisterViewer: not a loaded plug-in");
    return nullptr;
  }
  if (name == nullptr || *name == '\0' || startFn == nullptr) {
    s->fail("sxRegisterViewer: a tool needs a name and a start function");
    return nullptr;
  }
  if (resource != nullptr && !s->resources.contains(idOf(resource))) {
    s->fail(std::string("sxRegisterViewer: tool \"") + name + "\": not a loaded resource");
    return nullptr;
  }
  for (const auto& [h, t] : s->tools) {
    if (t.name == name) {
      s->fail(std::string("sxRegisterViewer: a tool named \"") + name + "\" is registered already");
      return nullptr;
    }
  }
  ToolRec tool{name, startFn, resource, {}, idOf(plugin)};
  va_list pairs;
  va_start(pairs, resource);
  bool valid = true;
  while (const char* key = va_arg(pairs, const char*)) {
    const char* value = va_arg(pairs, const char*);
    if (value == nullptr) {
      s->fail(std::string("sxRegisterViewer: tool \"") + name + "\": attribute \"" + key +
              "\" has no value");
      valid = false;
      break;
    }
    tool.attributes.emplace_back(key, value);
  }
  va_end(pairs);
  if (!valid) return nullptr;
  const HandleId id = newHandleId();
  s->tools[id] = std::move(tool);
  return toHandle<SxTool>(id);
}

extern "C" void sxUnregisterAllTools(SxPlugin plugin) {
  HostState* s = state();
  if (s == nullptr || s->plugin(plugin) == nullptr) return;
  for (auto it = s->tools.begin(); it != s->tools.end();) {
    it = it->second.plugin == idOf(plugin) ? s->tools.erase(it) : std::next(it);
  }
}
