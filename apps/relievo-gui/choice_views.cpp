// Option menus and lists.
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Menu_Item.H>

#include <string>
#include <vector>

#include "control_view.h"
#include "fl_support.h"

namespace relievo::gui {

namespace {

using sxhost::Change;

class OptionView : public ControlView {
 public:
  OptionView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeChoice(control), runner) {
    widget_.callback(widgetCallback, this);
  }

 private:
  static Fl_Choice& makeChoice(const sxhost::Control& control) {
    const PixelRect r = pixelRect(control);
    auto* choice = new Fl_Choice(r.x, r.y, r.w, r.h);
    choice->textsize(kDialogFontSize);
    // Picking the item already chosen is an action too, as it is for the host's menus.
    choice->when(FL_WHEN_RELEASE | FL_WHEN_NOT_CHANGED);
    return *choice;
  }
  Fl_Choice& choice() { return static_cast<Fl_Choice&>(widget_); }

  // The menu is built from the items as they are, so no character of an item is read as
  // FLTK's menu path or flag syntax.
  void rebuildMenu() {
    labels_.clear();
    for (const std::string& item : control_.items())
      labels_.push_back(literalLabel(item, true));
    menu_.assign(labels_.size() + 1, Fl_Menu_Item{});
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      menu_[i].label(labels_[i].c_str());
      menu_[i].labelsize(kDialogFontSize);
    }
    choice().menu(menu_.data());
  }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Items) rebuildMenu();
    if (all || change == Change::Items || change == Change::Selection) {
      const int pos = control_.selectedPos();
      if (pos >= 1 && static_cast<std::size_t>(pos) <= labels_.size()) {
        choice().value(pos - 1);
      } else {
        choice().value(static_cast<const Fl_Menu_Item*>(nullptr));
      }
      choice().redraw();
    }
  }

  void onWidget() override {
    const int pos = choice().value() + 1;
    if (pos >= 1) act([this, pos] { control_.select(pos); });
  }

  std::vector<std::string> labels_;
  std::vector<Fl_Menu_Item> menu_;
};

class ListView : public ControlView {
 public:
  ListView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeBrowser(control), runner) {
    widget_.callback(widgetCallback, this);
  }

 private:
  static Fl_Hold_Browser& makeBrowser(const sxhost::Control& control) {
    const PixelRect r = pixelRect(control);
    auto* browser = new Fl_Hold_Browser(r.x, r.y, r.w, r.h);
    browser->textsize(kDialogFontSize);
    // Items are shown as they are: no '@' formatting, no tab columns.
    browser->format_char(0);
    browser->column_char(0);
    return *browser;
  }
  Fl_Hold_Browser& browser() { return static_cast<Fl_Hold_Browser&>(widget_); }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Items) {
      browser().clear();
      for (const std::string& item : control_.items())
        browser().add(item.c_str());
    }
    if (all || change == Change::FixedFont) {
      browser().textfont(control_.fixedFont() ? FL_COURIER : FL_HELVETICA);
    }
    if (all || change == Change::Items || change == Change::Selection) {
      browser().value(control_.selectedPos());
    }
    if (all || change == Change::Items || change == Change::TopPos) {
      if (browser().size() > 0) browser().topline(control_.topPos());
    }
    browser().redraw();
  }

  void onWidget() override {
    const int pos = browser().value();
    if (pos >= 1) act([this, pos] { control_.select(pos); });
  }
};

}  // namespace

std::unique_ptr<ControlView> makeChoiceView(sxhost::Control& control, ActionRunner& runner) {
  if (control.kind() == sxhost::ControlKind::Option) {
    return std::make_unique<OptionView>(control, runner);
  }
  return std::make_unique<ListView>(control, runner);
}

}  // namespace relievo::gui
