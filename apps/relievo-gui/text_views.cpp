// Text fields, static texts and group frames.
#include <FL/Fl_Box.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/fl_draw.H>

#include "control_view.h"
#include "fl_support.h"

namespace relievo::gui {

namespace {

using sxhost::Change;
using sxhost::ControlKind;

// A field tall enough for two lines of text shows every line of its text.
constexpr int kMultilineHeight = 2 * kDialogFontSize + 6;

Fl_Input& makeInput(const PixelRect& r) {
  Fl_Input* input = nullptr;
  if (r.h >= kMultilineHeight) {
    input = new Fl_Multiline_Input(r.x, r.y, r.w, r.h);
    input->wrap(1);
  } else {
    input = new Fl_Input(r.x, r.y, r.w, r.h);
  }
  input->textsize(kDialogFontSize);
  // The text is taken when Enter is pressed or the field is left changed, as one typing.
  input->when(FL_WHEN_ENTER_KEY | FL_WHEN_RELEASE);
  return *input;
}

class TextFieldView : public ControlView {
 public:
  TextFieldView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeInput(pixelRect(control)), runner) {
    widget_.callback(widgetCallback, this);
  }

 private:
  Fl_Input& input() { return static_cast<Fl_Input&>(widget_); }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Text) {
      if (control_.text() != input().value()) input().value(control_.text().c_str());
    }
    if (all || change == Change::Editable) {
      input().readonly(control_.editable() ? 0 : 1);
      input().color(control_.editable() ? FL_BACKGROUND2_COLOR : FL_BACKGROUND_COLOR);
      input().redraw();
    }
    if (all || change == Change::FixedFont) {
      input().textfont(control_.fixedFont() ? FL_COURIER : FL_HELVETICA);
      input().redraw();
    }
  }

  void onWidget() override {
    if (!control_.editable()) return;
    const std::string text = input().value();
    act([this, text] { control_.type(text); });
  }
};

// A static text, with the window's background behind it so that a new text replaces the old,
// drawn from the very edge of its rectangle as the template places it.
class StaticText : public Fl_Box {
 public:
  StaticText(int x, int y, int w, int h) : Fl_Box(FL_FLAT_BOX, x, y, w, h, nullptr) {}

 private:
  void draw() override {
    draw_box();
    draw_label(x(), y(), w(), h(), align());
  }
};

class LabelView : public ControlView {
 public:
  LabelView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeBox(control), runner) {}

 private:
  static Fl_Box& makeBox(const sxhost::Control& control) {
    const PixelRect r = pixelRect(control);
    auto* box = new StaticText(r.x, r.y, r.w, r.h);
    box->labelsize(kDialogFontSize);
    box->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    return *box;
  }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Picture) {
      const sxhost::Pixmap* pixmap = control_.pixmap();
      image_ = pixmap != nullptr ? pixmapImage(*pixmap) : nullptr;
      widget_.image(image_.get());
    }
    if (all || change == Change::Text) {
      widget_.copy_label(literalLabel(control_.text(), false).c_str());
    }
    widget_.redraw();
  }

  std::unique_ptr<Fl_Image> image_;
};

// A group box: an engraved frame with its caption set into the top edge.
class GroupFrame : public Fl_Box {
 public:
  GroupFrame(int x, int y, int w, int h) : Fl_Box(x, y, w, h) { labelsize(kDialogFontSize); }

 private:
  static constexpr int kCaptionIndent = 8;
  static constexpr int kCaptionPad = 2;

  void draw() override {
    const int top = y() + labelsize() / 2;
    draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - (top - y()), color());
    if (label() == nullptr || *label() == '\0') return;
    fl_font(labelfont(), labelsize());
    const int width = static_cast<int>(fl_width(label())) + 2 * kCaptionPad;
    fl_color(color());
    fl_rectf(x() + kCaptionIndent, y(), width, labelsize() + kCaptionPad);
    draw_label(x() + kCaptionIndent + kCaptionPad, y(), width, labelsize() + kCaptionPad,
               FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  }
};

class GroupView : public ControlView {
 public:
  GroupView(sxhost::Control& control, ActionRunner& runner)
      : ControlView(control, makeFrame(control), runner) {}

 private:
  static Fl_Widget& makeFrame(const sxhost::Control& control) {
    const PixelRect r = pixelRect(control);
    return *new GroupFrame(r.x, r.y, r.w, r.h);
  }

  void showContent(Change change, bool all) override {
    if (all || change == Change::Text) {
      widget_.copy_label(literalLabel(control_.text(), false).c_str());
      widget_.redraw();
    }
  }
};

}  // namespace

std::unique_ptr<ControlView> makeTextView(sxhost::Control& control, ActionRunner& runner) {
  switch (control.kind()) {
    case ControlKind::Text:
      return std::make_unique<TextFieldView>(control, runner);
    case ControlKind::Group:
      return std::make_unique<GroupView>(control, runner);
    default:
      return std::make_unique<LabelView>(control, runner);
  }
}

}  // namespace relievo::gui
