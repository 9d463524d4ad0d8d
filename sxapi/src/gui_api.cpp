// Host calls on dialogs and on controls as a whole: creation, events, callbacks, visibility,
// pixmaps, cursors and GL drawing.
#include <algorithm>
#include <string>

#include "api_support.h"
#include "sxapilib.h"

namespace sxhost::detail {

ControlRec* controlFor(const char* call, SxGui gui, std::initializer_list<ControlKind> kinds) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  ControlRec* c = s->control(gui);
  if (c == nullptr) {
    s->fail(std::string(call) + ": not a control");
    return nullptr;
  }
  if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), c->kind) == kinds.end()) {
    s->fail(std::string(call) + ": " + describe(*c) + " is a " + std::string(kindName(c->kind)));
    return nullptr;
  }
  return c;
}

}  // namespace sxhost::detail

using namespace sxhost;
using namespace sxhost::detail;

namespace {

DialogRec* dialogFor(const char* call, SxDialog dialog) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  DialogRec* d = s->dialog(dialog);
  if (d == nullptr) s->fail(std::string(call) + ": not a dialog");
  return d;
}

}  // namespace

extern "C" SxDialog sxResourceGetDialog(SxGui parent, SxResource resource, int id, int mask,
                                        SxDialogFn fn, void* data) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  if (parent != nullptr && s->dialog(parent) == nullptr && s->control(parent) == nullptr) {
    s->fail("sxResourceGetDialog: the parent is not a dialog or control");
    return nullptr;
  }
  auto it = s->resources.find(idOf(resource));
  if (it == s->resources.end()) {
    s->fail("sxResourceGetDialog: not a loaded resource");
    return nullptr;
  }
  return s->createDialog(it->second, id, mask, fn, data);
}

extern "C" int sxShowDialog(SxDialog dialog) {
  DialogRec* d = dialogFor("sxShowDialog", dialog);
  if (d == nullptr) return -1;
  state()->showDialog(*d);
  return 0;
}

extern "C" int sxHideDialog(SxDialog dialog) {
  DialogRec* d = dialogFor("sxHideDialog", dialog);
  if (d == nullptr) return -1;
  state()->hideDialog(*d);
  return 0;
}

extern "C" int sxRefreshDialog(SxDialog dialog) {
  DialogRec* d = dialogFor("sxRefreshDialog", dialog);
  if (d == nullptr) return -1;
  state()->refreshDialog(*d);
  return 0;
}

extern "C" int sxSetCaption(SxGui gui, const char* caption) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (caption == nullptr) return s->fail("sxSetCaption: no caption");
  if (DialogRec* d = s->dialog(gui)) {
    if (d->caption != caption) {
      d->caption = caption;
      s->notify(*d, DialogChange::Caption);
    }
    return 0;
  }
  ControlRec* c = controlFor("sxSetCaption", gui);
  if (c == nullptr) return -1;
  change(*s, *c, c->text, std::string(caption), Change::Text);
  return 0;
}

extern "C" int sxGuiSetHelpContext(SxGui gui, const char* context) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (context == nullptr) return s->fail("sxGuiSetHelpContext: no context");
  if (DialogRec* d = s->dialog(gui)) {
    d->helpContext = context;
    return 0;
  }
  ControlRec* c = controlFor("sxGuiSetHelpContext", gui);
  if (c == nullptr) return -1;
  c->helpContext = context;
  return 0;
}

extern "C" SxGui sxFindGuiById(SxDialog dialog, int id) {
  DialogRec* d = dialogFor("sxFindGuiById", dialog);
  if (d == nullptr || id == -1) return nullptr;
  for (const auto& c : d->controls) {
    if (c->id == id) return toHandle<SxGui>(c->handle);
  }
  return nullptr;
}

extern "C" int sxSetGuiCallback(SxGui control, int mask, SxGuiFn fn, void* data) {
  ControlRec* c = controlFor("sxSetGuiCallback", control);
  if (c == nullptr) return -1;
  HostState* s = state();
  const int known = SX_MASK_ACTIVATE | SX_MASK_REFRESH | SX_MASK_GL_DRAW;
  if (mask == 0 || (mask & ~known) != 0) {
    return s->fail("sxSetGuiCallback: " + describe(*c) + ": mask " + std::to_string(mask) +
                   " is not a combination of 1, 2 and 64");
  }
  if ((mask & SX_MASK_GL_DRAW) != 0 && c->kind != ControlKind::Gl) {
    return s->fail("sxSetGuiCallback: " + describe(*c) + " is no GL control and cannot draw");
  }
  if ((mask & SX_MASK_GL_DRAW) != 0) c->draw = Callback{fn, data};
  if ((mask & SX_MASK_ACTIVATE_REFRESH) != 0) {
    c->callback = Callback{fn, data};
    c->callbackMask = mask & SX_MASK_ACTIVATE_REFRESH;
  }
  return 0;
}

extern "C" int sxSetEnabled(SxGui gui, int enabled) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (DialogRec* d = s->dialog(gui)) {
    if (d->enabled != (enabled != 0)) {
      d->enabled = enabled != 0;
      s->notify(*d, DialogChange::Enabled);
    }
    return 0;
  }
  ControlRec* c = controlFor("sxSetEnabled", gui);
  if (c == nullptr) return -1;
  change(*s, *c, c->enabled, enabled != 0, Change::Enabled);
  return 0;
}

extern "C" int sxSetVisible(SxGui gui, int visible) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (DialogRec* d = s->dialog(gui)) {
    if (visible != 0) {
      s->showDialog(*d);
    } else {
      s->hideDialog(*d);
    }
    return 0;
  }
  ControlRec* c = controlFor("sxSetVisible", gui);
  if (c == nullptr) return -1;
  change(*s, *c, c->visible, visible != 0, Change::Visible);
  return 0;
}

extern "C" int sxRefreshControl(SxGui control) {
  ControlRec* c = controlFor("sxRefreshControl", control);
  if (c == nullptr) return -1;
  state()->runCallback(*c, SX_REASON_REFRESH, nullptr);
  return 0;
}

extern "C" int sxDrawControl(SxGui control) {
  ControlRec* c = controlFor("sxDrawControl", control, {ControlKind::Gl});
  if (c == nullptr) return -1;
  if (!state()->drawOnRequest) return 0;
  return state()->drawControl(*c) ? 0 : -1;
}

extern "C" int sxGuiSetFixedFont(SxGui control) {
  ControlRec* c = controlFor("sxGuiSetFixedFont", control);
  if (c == nullptr) return -1;
  change(*state(), *c, c->fixedFont, true, Change::FixedFont);
  return 0;
}

extern "C" int sxControlSetAttribute(SxGui control, int attribute, int value) {
  ControlRec* c = controlFor("sxControlSetAttribute", control);
  if (c == nullptr) return -1;
  if (attribute != SX_ATTRIBUTE_OPAQUE) {
    return state()->fail("sxControlSetAttribute: " + describe(*c) + ": unknown attribute " +
                         std::to_string(attribute));
  }
  c->opaque = value != 0;
  return 0;
}

extern "C" int sxGuiGetViewSize(SxGui control, int* width, int* height) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (width == nullptr || height == nullptr) return s->fail("sxGuiGetViewSize: no output");
  ControlRec* c = controlFor("sxGuiGetViewSize", control);
  if (c == nullptr) return -1;
  *width = c->viewWidth;
  *height = c->viewHeight;
  return 0;
}

extern "C" int sxGLSetMouseFunc(SxGui control, int mask, SxGuiFn fn, void* data) {
  ControlRec* c = controlFor("sxGLSetMouseFunc", control, {ControlKind::Gl});
  if (c == nullptr) return -1;
  if (mask != SX_MOUSE_EVENT) {
    return state()->fail("sxGLSetMouseFunc: " + describe(*c) + ": mask " + std::to_string(mask) +
                         " is not 1");
  }
  c->mouse = Callback{fn, data};
  return 0;
}

extern "C" SxPixmap sxResourceGetPixmap(SxResource resource, int id) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  auto it = s->resources.find(idOf(resource));
  if (it == s->resources.end()) {
    s->fail("sxResourceGetPixmap: not a loaded resource");
    return nullptr;
  }
  ResourceRec& r = it->second;
  if (auto known = r.pixmaps.find(id); known != r.pixmaps.end()) {
    return toHandle<SxPixmap>(known->second);
  }
  const Pixmap* p = r.data->pixmap(id);
  if (p == nullptr) return nullptr;
  const HandleId handle = newHandleId();
  s->pixmaps[handle] = PixmapRec{it->first, std::make_shared<const Pixmap>(*p)};
  r.pixmaps[id] = handle;
  return toHandle<SxPixmap>(handle);
}

extern "C" int sxSetPixmap(SxGui control, SxPixmap pixmap) {
  ControlRec* c = controlFor("sxSetPixmap", control, {ControlKind::Push, ControlKind::Label});
  if (c == nullptr) return -1;
  HostState* s = state();
  auto it = s->pixmaps.find(idOf(pixmap));
  if (it == s->pixmaps.end()) return s->fail("sxSetPixmap: " + describe(*c) + ": not a pixmap");
  c->pixmap = it->second.pixmap;
  s->notify(*c, Change::Picture);
  return 0;
}

extern "C" SxCursor sxResourceGetCursor(SxResource resource, int id) {
  HostState* s = state();
  if (s == nullptr) return nullptr;
  // Resource files hold no cursors; only the host's own exist.
  if (resource != nullptr || id != SX_CURSOR_WAIT) {
    s->fail("sxResourceGetCursor: no cursor " + std::to_string(id));
    return nullptr;
  }
  return toHandle<SxCursor>(s->waitCursor);
}

extern "C" int sxSetCursor(SxCursor cursor) {
  HostState* s = state();
  if (s == nullptr) return -1;
  if (cursor != nullptr && idOf(cursor) != s->waitCursor)
    return s->fail("sxSetCursor: not a cursor");
  const bool wasWaiting = s->cursor != 0;
  s->cursor = idOf(cursor);
  if (s->cursorListener && wasWaiting != (cursor != nullptr)) s->cursorListener(cursor != nullptr);
  return 0;
}
