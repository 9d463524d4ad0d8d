// Loading and unloading plug-in modules.
#include <dlfcn.h>

#include <filesystem>

#include "host_state.h"
#include "sxhost/error.h"
#include "sxhost/host.h"

namespace sxhost {

using detail::HandleId;
using detail::toHandle;

namespace {

std::string exportedText(void* library, const char* name) {
  // The exports are `const char*` variables: dlsym gives the variable's address.
  const auto* variable = static_cast<const char* const*>(dlsym(library, name));
  return variable != nullptr && *variable != nullptr ? std::string(*variable) : std::string();
}

const PluginInfo& start(detail::HostState& s, Host& host, detail::PluginRec rec, SxpInitFn init) {
  const HandleId id = detail::newHandleId();
  rec.module = detail::newHandleId();
  rec.info.handle = toHandle<SxPlugin>(id);
  s.modules[rec.module] = id;
  const std::string path = rec.info.path;
  s.plugins[id] = std::move(rec);
  int ok = 0;
  {
    detail::InPlugin call(s);
    ok = init(toHandle<SxPlugin>(id), nullptr, nullptr);
  }
  if (ok == 0) {
    host.unloadPlugin(toHandle<SxPlugin>(id));
    throw Error(path + ": sxpInit failed");
  }
  return s.plugins.at(id).info;
}

}  // namespace

const PluginInfo& Host::loadPlugin(const std::string& path) {
  std::error_code ec;
  const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
  for (const auto& [h, p] : state_->plugins) {
    if (p.info.path == full) throw Error(full + ": is loaded already");
  }
  void* library = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    throw Error(full + ": cannot be loaded: " + (why != nullptr ? why : "unknown reason"));
  }
  // Another path to a module that is loaded (a link, say) opens the same library.
  for (const auto& [h, p] : state_->plugins) {
    if (p.library == library) {
      dlclose(library);
      throw Error(full + ": is loaded already (as " + p.info.path + ")");
    }
  }
  auto init = reinterpret_cast<SxpInitFn>(dlsym(library, "sxpInit"));
  if (init == nullptr) {
    dlclose(library);
    throw Error(full + ": is not a plug-in (it exports no sxpInit)");
  }
  detail::PluginRec rec;
  rec.library = library;
  rec.exit = reinterpret_cast<SxpExitFn>(dlsym(library, "sxpExit"));
  rec.info.path = full;
  rec.info.vendor = exportedText(library, "sxpVendor");
  rec.info.id = exportedText(library, "sxpIDString");
  rec.info.uuid = exportedText(library, "sxpUUIDString");
  rec.info.version = exportedText(library, "sxpVersion");
  return start(*state_, *this, std::move(rec), init);
}

const PluginInfo& Host::attachPlugin(const StaticPlugin& plugin) {
  if (plugin.init == nullptr) throw Error(plugin.modulePath + ": the plug-in has no sxpInit");
  detail::PluginRec rec;
  rec.exit = plugin.exit;
  rec.info.path = plugin.modulePath;
  rec.info.vendor = plugin.vendor;
  rec.info.id = plugin.id;
  rec.info.uuid = plugin.uuid;
  rec.info.version = plugin.version;
  return start(*state_, *this, std::move(rec), plugin.init);
}

void Host::unloadPlugin(SxPlugin plugin) {
  const HandleId id = detail::idOf(plugin);
  if (state_->plugin(plugin) == nullptr) throw Error("no such plug-in is loaded");
  if (state_->callbacksRunning != 0) {
    throw Error("a plug-in cannot be unloaded while plug-in code runs");
  }
  std::vector<HandleId> shown;
  for (auto& [h, d] : state_->dialogs) {
    if (d->plugin == id && d->visible) shown.push_back(h);
  }
  for (HandleId h : shown) {
    if (auto* d = state_->dialog(toHandle<SxGui>(h))) state_->hideDialog(*d);
  }
  if (auto* rec = state_->plugin(plugin); rec != nullptr && rec->exit != nullptr) {
    detail::InPlugin call(*state_);
    rec->exit(plugin);
  }
  state_->dropOwnedBy(id);
  auto it = state_->plugins.find(id);
  if (it == state_->plugins.end()) return;
  void* library = it->second.library;
  state_->modules.erase(it->second.module);
  state_->plugins.erase(it);
  if (library != nullptr) dlclose(library);
}

}  // namespace sxhost
