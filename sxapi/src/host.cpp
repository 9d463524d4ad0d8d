// sxhost::Host: the one living host of the process and what front ends ask of it.
#include "sxhost/host.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host_state.h"
#include "sxhost/error.h"
#include "whole_file.h"

namespace sxhost {
namespace detail {
namespace {
HostState* living = nullptr;
}  // namespace

HostState* state() {
  return living;
}

}  // namespace detail

using detail::HandleId;
using detail::idOf;
using detail::toHandle;

Host::Host() {
  if (detail::living != nullptr) throw Error("another sxhost::Host is alive in this process");
  state_ = std::make_unique<detail::HostState>();
  state_->host = this;
  detail::living = state_.get();
}

Host::~Host() {
  // Newest first; each unload closes the plug-in's shown dialogs while it is whole.
  while (!state_->plugins.empty()) {
    unloadPlugin(toHandle<SxPlugin>(std::prev(state_->plugins.end())->first));
  }
  if (!state_->prefsPath.empty()) {
    try {
      savePreferences();
    } catch (const Error& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
  }
  state_->dropOwnedBy(0);
  detail::living = nullptr;
}

Host* Host::current() {
  return detail::living != nullptr ? detail::living->host : nullptr;
}

std::vector<PluginInfo> Host::plugins() const {
  std::vector<PluginInfo> out;
  for (const auto& [h, p] : state_->plugins)
    out.push_back(p.info);
  return out;
}

std::vector<ToolInfo> Host::tools() const {
  std::vector<ToolInfo> out;
  for (const auto& [h, t] : state_->tools) {
    out.push_back(ToolInfo{t.name, t.attributes, toHandle<SxTool>(h)});
  }
  return out;
}

void Host::startTool(std::string_view name) {
  for (const auto& [h, t] : state_->tools) {
    if (t.name == name) {
      if (t.start == nullptr) throw Error("tool \"" + t.name + "\" has no start function");
      // Copies: the start function may register or unregister tools.
      const SxToolStartFn start = t.start;
      const SxResource resource = t.resource;
      detail::InPlugin call(*state_);
      start(toHandle<SxTool>(h), resource);
      return;
    }
  }
  throw Error("no tool named \"" + std::string(name) + "\"");
}

SxTool Host::addTool(const std::string& name, SxToolStartFn start, SxResource resource) {
  for (const auto& [h, t] : state_->tools) {
    if (t.name == name) throw Error("a tool named \"" + name + "\" is registered already");
  }
  const HandleId id = detail::newHandleId();
  state_->tools[id] = detail::ToolRec{name, start, resource, {}, 0};
  return toHandle<SxTool>(id);
}

SxResource Host::loadResourceJson(std::string_view json, std::string_view name) {
  try {
    return state_->addResource(parseResource(json, name), std::string(name), 0);
  } catch (const Error& e) {
    state_->fail(e.what());
    throw;
  }
}

Dialog* Host::findDialog(int templateId) {
  // Handles grow, so the last match is the newest dialog.
  for (auto it = state_->dialogs.rbegin(); it != state_->dialogs.rend(); ++it) {
    if (it->second->templateId == templateId) return it->second->facade.get();
  }
  return nullptr;
}

Dialog& Host::dialog(int templateId) {
  if (Dialog* d = findDialog(templateId)) return *d;
  throw Error("no dialog of template " + std::to_string(templateId) + " exists");
}

Dialog* Host::dialogOf(SxDialog handle) {
  auto* d = state_->dialog(handle);
  return d != nullptr ? d->facade.get() : nullptr;
}

Control* Host::controlOf(SxGui handle) {
  auto* c = state_->control(handle);
  return c != nullptr ? c->facade.get() : nullptr;
}

ScriptedResponder& Host::responder() {
  return state_->scripted;
}

void Host::setResponder(std::unique_ptr<Responder> responder) {
  state_->custom = std::move(responder);
}

Preferences& Host::preferences() {
  return state_->prefs;
}

void Host::usePreferencesFile(const std::string& path) {
  state_->prefsPath = path;
  state_->prefs.clear();
  const detail::WholeFile file = detail::readWholeFile(path);
  if (file.error == ENOENT) return;
  if (file.error != 0) {
    // Written over later, a file that exists but could not be read would be lost.
    state_->prefsPath.clear();
    state_->warn("preferences file " + path + " cannot be read (" + std::strerror(file.error) +
                 "); the defaults are used and the file is left as it is");
    return;
  }
  try {
    state_->prefs = Preferences::fromJson(file.bytes);
  } catch (const Error& e) {
    const std::string aside = path + ".corrupt";
    std::error_code ec;
    std::filesystem::rename(path, aside, ec);
    state_->warn(
        "preferences file " + path + " is not valid (" + e.what() + "); " +
        (ec ? "it could not be set aside (" + ec.message() + ")" : "it was set aside as " + aside) +
        " and the defaults are used");
  }
}

void Host::savePreferences() {
  if (state_->prefsPath.empty()) return;
  writeFileAtomically(state_->prefsPath, state_->prefs.toJson());
}

bool Host::waitCursorShown() const {
  return state_->cursor != 0 && state_->cursor == state_->waitCursor;
}

void Host::setChangeListener(ChangeListener listener) {
  state_->listener = std::move(listener);
}

void Host::setDialogListener(DialogListener listener) {
  state_->dialogListener = std::move(listener);
}

void Host::setDrawOnRequest(bool draw) {
  state_->drawOnRequest = draw;
}

void Host::setCursorListener(CursorListener listener) {
  state_->cursorListener = std::move(listener);
}

const std::vector<std::string>& Host::log() const {
  return state_->log;
}
const std::string& Host::lastError() const {
  return state_->lastError;
}

}  // namespace sxhost
