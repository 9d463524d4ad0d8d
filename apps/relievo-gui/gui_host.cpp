#include "gui_host.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Progress.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "desktop_responder.h"
#include "fl_support.h"
#include "settings_path.h"
#include "sxhost/error.h"
#include "sxhost/plugin_path.h"

#ifndef RELIEVO_INSTALL_LIBDIR
#define RELIEVO_INSTALL_LIBDIR "lib"
#endif

namespace relievo::gui {

namespace {

constexpr char kPluginFileName[] = "relievo.so";
constexpr int kWindowWidth = 480, kMenuHeight = 25, kRowHeight = 25, kMargin = 5;
constexpr int kProgressWidth = 140;
// Where the windows open: the main window at the top left, dialogs below it, each new one a
// little further down and right.
constexpr int kWindowLeft = 20, kWindowTop = 20, kDialogGap = 40, kCascade = 30;
constexpr auto kFlushInterval = std::chrono::milliseconds(50);

}  // namespace

GuiHost::GuiHost() {
  Fl::visual(FL_RGB);
  Fl::scheme("gtk+");
  Fl_Group::current(nullptr);
  const int height = kMenuHeight + kRowHeight + 2 * kMargin;
  window_ =
      std::make_unique<Fl_Double_Window>(kWindowLeft, kWindowTop, kWindowWidth, height, kHostTitle);
  menu_ = new Fl_Menu_Bar(0, 0, kWindowWidth, kMenuHeight);
  const int rowY = kMenuHeight + kMargin;
  status_ = new Fl_Box(FL_FLAT_BOX, kMargin, rowY, kWindowWidth - kProgressWidth - 3 * kMargin,
                       kRowHeight, nullptr);
  status_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  progress_ = new Fl_Progress(kWindowWidth - kProgressWidth - kMargin, rowY + kMargin,
                              kProgressWidth, kRowHeight - 2 * kMargin);
  progress_->selection_color(FL_SELECTION_COLOR);
  window_->end();
  window_->callback(closeCallback, this);

  host_.setChangeListener([this](const sxhost::Control& control, sxhost::Change change) {
    onControl(control, change);
  });
  host_.setDialogListener(
      [this](sxhost::Dialog& dialog, sxhost::DialogChange change) { onDialog(dialog, change); });
  host_.setCursorListener([this](bool wait) { onCursor(wait); });
  host_.setResponder(std::make_unique<DesktopResponder>());
  usePreferencesFile();

  const auto plugin =
      sxhost::locatePlugin(kPluginFileName, "RELIEVO_PLUGIN_PATH", RELIEVO_INSTALL_LIBDIR);
  host_.loadPlugin(plugin.string());
  buildToolsMenu();
  showStatus("Loaded " + plugin.string());
  reportHostLog();
}

GuiHost::~GuiHost() {
  // The host saves the settings once more when it goes, after the plug-ins' exit.
  closing_ = true;
}

void GuiHost::usePreferencesFile() {
  const auto path = settingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!path) {
    showStatus("Neither XDG_CONFIG_HOME nor HOME is set: the settings are not kept");
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(path->parent_path(), ec);
  if (ec) {
    showStatus("Cannot create " + path->parent_path().string() + ": " + ec.message());
  }
  host_.usePreferencesFile(path->string());
}

void GuiHost::savePreferences() {
  try {
    host_.savePreferences();
  } catch (const sxhost::Error& e) {
    showStatus(std::string("The settings were not saved: ") + e.what());
  }
}

void GuiHost::buildToolsMenu() {
  toolNames_.clear();
  toolLabels_.clear();
  for (const sxhost::ToolInfo& tool : host_.tools()) {
    toolNames_.push_back(tool.name);
    toolLabels_.push_back(literalLabel(tool.name, true));
  }
  // "Tools" and its submenu, each ended by an empty item; built by hand so that no character
  // of a tool's name is read as FLTK's menu path syntax.
  toolsMenu_.assign(toolNames_.size() + 3, Fl_Menu_Item{});
  toolsMenu_[0].label("&Tools");
  toolsMenu_[0].flags = FL_SUBMENU;
  for (std::size_t i = 0; i < toolNames_.size(); ++i) {
    Fl_Menu_Item& item = toolsMenu_[i + 1];
    item.label(toolLabels_[i].c_str());
    item.callback(toolCallback, this);
  }
  menu_->menu(toolsMenu_.data());
}

void GuiHost::toolCallback(Fl_Widget* widget, void* data) {
  auto* self = static_cast<GuiHost*>(data);
  const Fl_Menu_Item* item = static_cast<Fl_Menu_Bar*>(widget)->mvalue();
  // The tools' items follow the "Tools" item, in the order of toolNames_.
  const auto index = item - self->toolsMenu_.data() - 1;
  if (index >= 0 && static_cast<std::size_t>(index) < self->toolNames_.size()) {
    self->startTool(self->toolNames_[static_cast<std::size_t>(index)]);
  }
}

void GuiHost::startTool(const std::string& name) {
  act(nullptr, [this, &name] { host_.startTool(name); });
}

int GuiHost::run() {
  window_->show();
  return Fl::run();
}

void GuiHost::closeCallback(Fl_Widget*, void*) {
  // Escape does not end the program; the close box does, with every window.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  while (Fl_Window* window = Fl::first_window())
    window->hide();
}

void GuiHost::attempt(const std::function<void()>& action) {
  ++depth_;
  try {
    action();
  } catch (const sxhost::Error& e) {
    showStatus(e.what());
    std::fprintf(stderr, "relievo-gui: %s\n", e.what());
  }
  --depth_;
}

void GuiHost::act(sxhost::Control* control, const std::function<void()>& action) {
  attempt(action);
  // The widget may show what the person did while the model kept its state (a refused
  // entry, a radio button clicked again).
  if (control != nullptr) {
    const auto it = dialogs_.find(&control->dialog());
    if (it != dialogs_.end()) {
      if (ControlView* view = it->second->view(*control)) view->syncAll();
    }
  }
  if (depth_ == 0) {
    drawPending();
    reportHostLog();
  }
}

void GuiHost::onControl(const sxhost::Control& control, sxhost::Change change) {
  const auto it = dialogs_.find(&control.dialog());
  if (it != dialogs_.end()) {
    if (ControlView* view = it->second->view(control)) view->sync(change);
  }
  if (control.kind() == sxhost::ControlKind::Gl && change == sxhost::Change::Visible &&
      control.visible()) {
    queueDraw(control);
  }
  if (control.kind() == sxhost::ControlKind::Progress &&
      (change == sxhost::Change::Range || change == sxhost::Change::Value)) {
    progress_->minimum(static_cast<float>(control.range().first));
    progress_->maximum(static_cast<float>(control.range().second));
    progress_->value(static_cast<float>(control.value()));
  }
  if (depth_ > 0) flushSometimes();
}

void GuiHost::onDialog(sxhost::Dialog& dialog, sxhost::DialogChange change) {
  if (change == sxhost::DialogChange::Created) {
    Fl_Group::current(nullptr);
    auto window = std::make_unique<DialogWindow>(dialog, *this);
    const int offset = static_cast<int>(dialogs_.size()) * kCascade;
    window->position(kWindowLeft + offset, window_->y() + window_->h() + kDialogGap + offset);
    dialogs_[&dialog] = std::move(window);
    return;
  }
  const auto it = dialogs_.find(&dialog);
  if (it == dialogs_.end()) return;
  if (change == sxhost::DialogChange::Dropped) {
    std::erase_if(pendingDraws_, [&](const sxhost::Control* c) { return &c->dialog() == &dialog; });
    dialogs_.erase(it);
    return;
  }
  it->second->follow(change);
  if (change == sxhost::DialogChange::Shown) {
    for (const sxhost::Control* control : dialog.controls()) {
      if (control->kind() == sxhost::ControlKind::Gl) queueDraw(*control);
    }
  } else if (change == sxhost::DialogChange::Hidden && !closing_) {
    savePreferences();
  }
}

void GuiHost::onCursor(bool wait) {
  const Fl_Cursor cursor = wait ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT;
  window_->cursor(cursor);
  for (const auto& [dialog, window] : dialogs_)
    window->cursor(cursor);
  Fl::flush();
}

void GuiHost::queueDraw(const sxhost::Control& control) {
  sxhost::Control* c = host_.controlOf(control.handle());
  if (c != nullptr &&
      std::find(pendingDraws_.begin(), pendingDraws_.end(), c) == pendingDraws_.end())
    pendingDraws_.push_back(c);
}

void GuiHost::drawPending() {
  const std::vector<sxhost::Control*> pending = std::move(pendingDraws_);
  pendingDraws_.clear();
  for (sxhost::Control* control : pending) {
    if (control->dialog().visible() && control->visible()) {
      attempt([control] { control->draw(); });
    }
  }
}

void GuiHost::flushSometimes() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastFlush_ < kFlushInterval) return;
  lastFlush_ = now;
  Fl::flush();
}

void GuiHost::showStatus(const std::string& text) {
  status_->copy_label(literalLabel(text.substr(0, text.find('\n')), false).c_str());
  status_->redraw();
}

void GuiHost::reportHostLog() {
  const auto& log = host_.log();
  // The log drops its oldest half when it grows long.
  if (logSeen_ > log.size()) logSeen_ = 0;
  for (; logSeen_ < log.size(); ++logSeen_) {
    std::fprintf(stderr, "relievo-gui: host: %s\n", log[logSeen_].c_str());
    showStatus(log[logSeen_]);
  }
}

}  // namespace relievo::gui
