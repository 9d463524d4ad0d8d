// The object model: handles, dialogs made from templates, events and callbacks.
#include "host_state.h"

#include <atomic>

#include "sxhost/error.h"

namespace sxhost::detail {

HandleId newHandleId() {
  static std::atomic<HandleId> next{1};
  return next++;
}

namespace {
// A plug-in that repeats a failing call in a loop must not grow the log without end.
constexpr std::size_t kLogLimit = 1000;
}  // namespace

int HostState::fail(std::string message) {
  lastError = message;
  warn(std::move(message));
  return -1;
}

void HostState::warn(std::string message) {
  if (log.size() >= kLogLimit) log.erase(log.begin(), log.begin() + kLogLimit / 2);
  log.push_back(std::move(message));
}

ControlRec* HostState::control(SxGui gui) {
  auto it = controls.find(idOf(gui));
  return it == controls.end() ? nullptr : it->second;
}

DialogRec* HostState::dialog(SxGui gui) {
  auto it = dialogs.find(idOf(gui));
  return it == dialogs.end() ? nullptr : it->second.get();
}

ToolRec* HostState::tool(SxTool t) {
  auto it = tools.find(idOf(t));
  return it == tools.end() ? nullptr : &it->second;
}

PluginRec* HostState::plugin(SxPlugin p) {
  auto it = plugins.find(idOf(p));
  return it == plugins.end() ? nullptr : &it->second;
}

void HostState::notify(const ControlRec& c, Change change) {
  if (listener) listener(*c.facade, change);
}

void HostState::notify(DialogRec& d, DialogChange change) {
  if (dialogListener) dialogListener(*d.facade, change);
}

void HostState::deliver(DialogRec& d, int event) {
  if (d.fn != nullptr && (d.mask & event) != 0) {
    InPlugin call(*this);
    d.fn(toHandle<SxDialog>(d.handle), d.templateId, event, d.data);
  }
}

void HostState::runCallback(ControlRec& c, int reason, void* callData) {
  const int bit = reason == SX_REASON_ACTIVATE ? SX_MASK_ACTIVATE : SX_MASK_REFRESH;
  if (c.callback.fn != nullptr && (c.callbackMask & bit) != 0) {
    InPlugin call(*this);
    c.callback.fn(toHandle<SxGui>(c.handle), c.id, reason, c.callback.data, callData);
  }
}

SxResource HostState::addResource(Resource resource, std::string name, HandleId owner) {
  const HandleId id = newHandleId();
  resources[id] = ResourceRec{
      std::make_shared<const Resource>(std::move(resource)), owner, std::move(name), {}};
  return toHandle<SxResource>(id);
}

SxDialog HostState::createDialog(const ResourceRec& resource, int templateId, int mask,
                                 SxDialogFn fn, void* data) {
  const DialogTemplate* t = resource.data->dialog(templateId);
  if (t == nullptr) {
    fail(resource.name + ": no dialog " + std::to_string(templateId));
    return nullptr;
  }
  auto d = std::make_unique<DialogRec>();
  d->handle = newHandleId();
  d->templateId = templateId;
  d->plugin = resource.plugin;
  d->caption = t->caption;
  d->helpContext = t->helpContext;
  d->width = t->width;
  d->height = t->height;
  d->mask = mask;
  d->fn = fn;
  d->data = data;
  for (const ControlTemplate& ct : t->controls) {
    auto c = std::make_unique<ControlRec>();
    c->handle = newHandleId();
    c->dialog = d.get();
    c->id = ct.id;
    c->kind = ct.kind;
    c->group = ct.group;
    c->rect = ct.rect;
    c->text = ct.label;
    c->enabled = ct.enabled;
    c->visible = ct.visible;
    c->editable = !ct.readOnly;
    c->items = ct.items;
    c->min = ct.rangeMin;
    c->max = ct.rangeMax;
    c->value = ct.rangeMin;
    c->viewWidth = ct.viewWidth;
    c->viewHeight = ct.viewHeight;
    if (ct.pixmap) {
      if (const Pixmap* p = resource.data->pixmap(*ct.pixmap)) {
        c->pixmap = std::make_shared<const Pixmap>(*p);
      }
    }
    c->facade = std::make_unique<Control>(*c);
    d->controls.push_back(std::move(c));
  }
  for (auto& c : d->controls)
    controls[c->handle] = c.get();
  d->facade = std::make_unique<Dialog>(*d);
  DialogRec& rec = *d;
  dialogs[rec.handle] = std::move(d);
  notify(rec, DialogChange::Created);
  deliver(rec, SX_EVENT_INIT);
  return toHandle<SxDialog>(rec.handle);
}

void HostState::showDialog(DialogRec& d) {
  if (!d.visible) {
    d.visible = true;
    notify(d, DialogChange::Shown);
    deliver(d, SX_EVENT_SHOW);
    // The show event may have hidden the dialog again: a hidden dialog is neither refreshed
    // nor activated.
    if (d.visible) refreshDialog(d);
  }
  if (d.visible) deliver(d, SX_EVENT_ACTIVATE);
}

void HostState::refreshDialog(DialogRec& d) {
  // Controls stay as the template made them, and no callback can drop the dialog (plug-ins
  // cannot be unloaded while their code runs), so the loop may hold on to them.
  for (const auto& c : d.controls)
    runCallback(*c, SX_REASON_REFRESH, nullptr);
}

void HostState::hideDialog(DialogRec& d) {
  if (!d.visible) return;
  deliver(d, SX_EVENT_CLOSE);
  d.visible = false;
  notify(d, DialogChange::Hidden);
}

void HostState::dropDialog(HandleId handle) {
  auto it = dialogs.find(handle);
  if (it == dialogs.end()) return;
  notify(*it->second, DialogChange::Dropped);
  for (auto& c : it->second->controls)
    controls.erase(c->handle);
  dialogs.erase(it);
}

void HostState::dropOwnedBy(HandleId owner) {
  std::vector<HandleId> gone;
  for (auto& [h, d] : dialogs) {
    if (d->plugin == owner) gone.push_back(h);
  }
  for (HandleId h : gone)
    dropDialog(h);
  for (auto it = tools.begin(); it != tools.end();) {
    it = it->second.plugin == owner ? tools.erase(it) : std::next(it);
  }
  for (auto it = resources.begin(); it != resources.end();) {
    if (it->second.plugin == owner) {
      for (auto& [id, pixmap] : it->second.pixmaps)
        pixmaps.erase(pixmap);
      it = resources.erase(it);
    } else {
      ++it;
    }
  }
}

bool HostState::drawControl(ControlRec& c) {
  static bool drawing = false;
  if (drawing) {
    fail(describe(c) + ": cannot draw while another control draws");
    return false;
  }
  drawing = true;
  SxGLDrawData data{c.viewWidth, c.viewHeight};
  auto picture = gl.render(c.viewWidth, c.viewHeight, [&] {
    if (c.draw.fn != nullptr) {
      InPlugin call(*this);
      c.draw.fn(toHandle<SxGui>(c.handle), c.id, SX_MASK_GL_DRAW, c.draw.data, &data);
    }
  });
  drawing = false;
  if (!picture) {
    fail(describe(c) + ": " + gl.error());
    return false;
  }
  c.picture = std::move(*picture);
  notify(c, Change::Picture);
  return true;
}

std::string describe(const ControlRec& c) {
  return "control " + std::to_string(c.id) + " of dialog " + std::to_string(c.dialog->templateId);
}

}  // namespace sxhost::detail
