#include "fakes/fake_ui.h"

#include <algorithm>
#include <exception>
#include <new>

namespace z4::fakes {

FakeDialog::FakeDialog(FakeUi& ui, int resource_id, DialogHandler& handler, Rect rect)
    : ui_(ui), resource_id_(resource_id), handler_(handler), rect_(rect) {}

void FakeDialog::ChooseRadio(int id, int other) {
  controls_[id].checked = true;
  controls_[other].checked = false;
}

std::string FakeDialog::GetText(int id) {
  const auto& c = controls_[id];
  return c.text;
}

void FakeDialog::SetTrackbarRange(int id, int min, int max, bool) {
  auto& c = controls_[id];
  c.range_min = min;
  c.range_max = max;
  c.pos = std::clamp(c.pos, min, std::max(min, max));
}

void FakeDialog::SetTrackbarTicFrequency(int id, int frequency) {
  controls_[id].tic_frequency = frequency;
}

void FakeDialog::SetTrackbarPos(int id, int pos, bool) {
  // A trackbar keeps its position inside its range, as the real control does.
  auto& c = controls_[id];
  c.pos = std::clamp(pos, c.range_min, std::max(c.range_min, c.range_max));
}

void FakeDialog::AppendListEntry(int id, const std::string& text) {
  controls_[id].list.push_back(text);
}

void FakeDialog::SetTextFont(const std::string& face, int tenths_of_point) {
  font_face_ = face;
  font_size_ = tenths_of_point;
  font_made_ = true;
}

void FakeDialog::ApplyTextFont(int id) {
  if (!font_made_) return;
  if (id == 0) {
    window_font_ = true;
  } else {
    controls_[id].text_font = true;
  }
}

void FakeDialog::MoveWindow(const Rect& rect, bool) {
  rect_ = rect;
}

Rect FakeDialog::DesktopRect() {
  return ui_.desktop;
}

void FakeDialog::StartTimer(int id, unsigned period_ms) {
  timers_[id] = Timer{period_ms, ui_.clock_.NowMs() + period_ms, ui_.timer_order_++};
}

void FakeDialog::SetCursor(CursorShape shape) {
  ui_.cursor = shape;
  ++ui_.cursor_sets;
}

void FakeDialog::SetCursorPos(int x, int y) {
  ui_.cursor_x = x;
  ui_.cursor_y = y;
}

void FakeDialog::ShowMessage(const std::string& text, const std::string& caption) {
  ui_.ShowMessageBox(text, caption);
}

void FakeDialog::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  ended_at_ = ui_.clock_.NowMs();
}

int FakeDialog::RunModal(int resource_id, DialogHandler& handler) {
  return ui_.RunChild(resource_id, handler);
}

void FakeDialog::MoveControl(int id, const Rect& screen_rect, bool) {
  controls_[id].rect = screen_rect;
  ++controls_[id].moves;
}

namespace {

// A canvas handed to the presenter that stays readable after it is released.
class BorrowedCanvas : public Canvas {
 public:
  explicit BorrowedCanvas(RecordingCanvas& target) : target_(target) {}
  Rect Area() override { return target_.Area(); }
  void SelectPen(PenStyle style, int width, Colour colour) override {
    target_.SelectPen(style, width, colour);
  }
  void RestorePen() override { target_.RestorePen(); }
  void FillRect(const Rect& rect, Colour colour) override { target_.FillRect(rect, colour); }
  void Line(Point from, Point to) override { target_.Line(from, to); }
  void Text(int x, int y, const std::string& text) override { target_.Text(x, y, text); }
  int LineHeight() override { return target_.LineHeight(); }

 private:
  RecordingCanvas& target_;
};

class BorrowedPrintJob : public PrintJob {
 public:
  explicit BorrowedPrintJob(FakePrintJob& target) : target_(target) {}
  int Orientation() override { return target_.Orientation(); }
  bool StartDocument() override { return target_.StartDocument(); }
  bool StartPage() override { return target_.StartPage(); }
  Canvas& Page() override { return target_.Page(); }
  bool EndPage() override { return target_.EndPage(); }
  bool EndDocument() override { return target_.EndDocument(); }
  void AbortDocument() override { target_.AbortDocument(); }

 private:
  FakePrintJob& target_;
};

}  // namespace

std::unique_ptr<Canvas> FakeDialog::DrawOn(int id) {
  const auto area = drawing_areas.find(id);
  if (area == drawing_areas.end()) return nullptr;
  owned_canvases_.push_back(std::make_unique<RecordingCanvas>(area->second));
  canvases.push_back(owned_canvases_.back().get());
  return std::make_unique<BorrowedCanvas>(*owned_canvases_.back());
}

std::vector<Colour> FakeDialog::CaptureClient(const Rect& rect) {
  ++captures;
  std::vector<Colour> pixels;
  pixels.reserve(static_cast<std::size_t>(rect.Width()) * static_cast<std::size_t>(rect.Height()));
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      pixels.push_back(screen ? screen(x, y) : kInvalidColour);
    }
  }
  return pixels;
}

std::optional<std::string> FakeDialog::SystemDialogs::ChooseSaveFile(
    const SaveFileRequest& request) {
  FakeUi& ui = window_.ui_;
  ui.save_requests.push_back(request);
  if (!ui.save_answer) return std::nullopt;
  if (ui.save_answer->empty()) {
    std::string folder = request.initial_folder;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder + request.default_name;
  }
  // A folder alone: the proposed name in that folder.
  if (ui.save_answer->back() == '\\') return *ui.save_answer + request.default_name;
  return ui.save_answer;
}

std::unique_ptr<PrintJob> FakeDialog::SystemDialogs::ChoosePrinter() {
  if (window_.printer_orientation == 0) return nullptr;
  FakeUi& ui = window_.ui_;
  ui.print_jobs.push_back(std::make_unique<FakePrintJob>(window_.printer_orientation));
  window_.last_print_job = ui.print_jobs.back().get();
  return std::make_unique<BorrowedPrintJob>(*window_.last_print_job);
}

template <typename F>
void FakeUi::Call(FakeDialog& dialog, F&& handler_call, bool opening) {
  if (!guard_handlers) {
    handler_call();
    return;
  }
  try {
    try {
      handler_call();
    } catch (const LeaveTheProgram&) {
      throw;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& e) {
      if (unexpected_failure.empty()) unexpected_failure = e.what();
      throw;
    } catch (...) {
      if (unexpected_failure.empty()) unexpected_failure = "an exception of no known type";
      throw;
    }
  } catch (const LeaveTheProgram&) {
    throw;
  } catch (...) {
    ++failures;
    if (!failure_message.empty()) ShowMessageBox(failure_message, "Z4Utility");
    if (opening) {
      dialog.EndDialog(kResultFailed);
      return;
    }
    try {
      dialog.handler_.OnFailure();
    } catch (const LeaveTheProgram&) {
      throw;
    } catch (...) {
    }
  }
}

void FakeUi::Centre(FakeDialog& dialog) {
  const int w = dialog.rect_.right - dialog.rect_.left;
  const int h = dialog.rect_.bottom - dialog.rect_.top;
  const int x = desktop.left + ((desktop.right - desktop.left) - w) / 2;
  const int y = desktop.top + ((desktop.bottom - desktop.top) - h) / 2;
  dialog.rect_ = Rect{x, y, x + w, y + h};
}

FakeDialog& FakeUi::Open(int resource_id, DialogHandler& handler) {
  main_ = std::make_unique<FakeDialog>(*this, resource_id, handler, initial_window);
  main_destroyed_ = false;
  stack_.push_back(main_.get());
  opened_.push_back(Opened{resource_id, clock_.NowMs()});
  if (on_create) on_create(*main_);
  const Rect before = main_->rect_;
  Call(
      *main_, [&] { handler.OnInitDialog(*main_); }, true);
  if (main_->rect_.left == before.left && main_->rect_.top == before.top) Centre(*main_);
  return *main_;
}

bool FakeUi::ShowPending() {
  bool shown = false;
  for (FakeDialog* d : stack_) {
    if (d->shown_ || d->ended_) continue;
    d->shown_ = shown = true;
    Call(*d, [d] {
      if (d->handler_.HandlesPaint()) d->handler_.OnPaint();
      d->handler_.OnShown();
    });
  }
  return shown;
}

bool FakeUi::DispatchOne(std::int64_t until) {
  // The window's first paint and the work after it come before any timer.
  if (ShowPending()) return true;
  FakeDialog* owner = nullptr;
  int id = 0;
  std::int64_t due = 0, order = 0;
  for (FakeDialog* d : stack_) {
    if (d->ended_) continue;
    for (const auto& [timer_id, t] : d->timers_) {
      if (!owner || t.due < due || (t.due == due && t.order < order)) {
        owner = d;
        id = timer_id;
        due = t.due;
        order = t.order;
      }
    }
  }
  if (!owner || due > until) return false;
  if (due > clock_.NowMs()) clock_.AdvanceTo(due);
  // Windows posts one timer message however late it is; the next one is due a
  // period after this one is handled.
  auto& t = owner->timers_.at(id);
  t.due = clock_.NowMs() + t.period;
  Call(*owner, [owner, id] { owner->handler_.OnTimer(id); });
  if (after_timer) after_timer();
  return true;
}

void FakeUi::Destroy(FakeDialog& dialog) {
  Call(dialog, [&dialog] { dialog.handler_.OnDestroy(); });
  dialog.timers_.clear();
  for (auto& o : opened_) {
    if (o.resource_id == dialog.resource_id_ && o.closed_at < 0) {
      o.closed_at = clock_.NowMs();
      o.ended_at = dialog.ended_at_ < 0 ? o.closed_at : dialog.ended_at_;
      o.result = dialog.result_;
    }
  }
}

void FakeUi::RunUntil(std::int64_t until) {
  while (main_ && !main_->ended_) {
    if (!DispatchOne(until)) break;
  }
  if (main_ && main_->ended_ && !main_destroyed_) {
    main_destroyed_ = true;
    stack_.erase(std::remove(stack_.begin(), stack_.end(), main_.get()), stack_.end());
    Destroy(*main_);
    return;
  }
  if (clock_.NowMs() < until) clock_.AdvanceTo(until);
}

bool FakeUi::RunUntilClosed(std::int64_t max_ms) {
  RunUntil(clock_.NowMs() + max_ms);
  return main_destroyed_;
}

bool FakeUi::RunUntilTrue(const std::function<bool()>& done, std::int64_t max_ms) {
  const std::int64_t until = clock_.NowMs() + max_ms;
  while (!done()) {
    if (main_ && main_->ended_) {
      RunUntil(clock_.NowMs());
      return done();
    }
    if (!DispatchOne(until)) {
      clock_.AdvanceTo(until);
      return done();
    }
  }
  return true;
}

int FakeUi::RunChild(int resource_id, DialogHandler& handler) {
  FakeDialog child(*this, resource_id, handler, Rect{0, 0, 182, 60});
  stack_.push_back(&child);
  opened_.push_back(Opened{resource_id, clock_.NowMs()});
  if (on_create) on_create(child);
  const Rect before = child.rect_;
  Call(
      child, [&] { handler.OnInitDialog(child); }, true);
  if (child.rect_.left == before.left && child.rect_.top == before.top) Centre(child);
  ShowPending();
  if (on_child_open) on_child_open(child);
  // The nested loop: every open window's timers, until the child ends. A limit
  // keeps a test from hanging on a window that would never close.
  const std::int64_t limit = clock_.NowMs() + 24LL * 3600 * 1000;
  while (!child.ended_) {
    if (!DispatchOne(limit)) break;
  }
  stack_.pop_back();
  Destroy(child);
  return child.ended_ ? child.result_ : -1;
}

void FakeUi::ShowMessageBox(const std::string& text, const std::string& caption) {
  boxes_.push_back(Box{text, caption, clock_.NowMs()});
  if (on_message_box) on_message_box(boxes_.back());
  if (message_box_ms > 0) {
    const std::int64_t until = clock_.NowMs() + message_box_ms;
    while (DispatchOne(until)) {
    }
    if (clock_.NowMs() < until) clock_.AdvanceTo(until);
  }
}

FakeDialog* FakeUi::Input() {
  ShowPending();
  return Top();
}

void FakeUi::Click(int id) {
  FakeDialog* d = Input();
  Call(*d, [d, id] { d->handler_.OnCommand(id, 0); });
}

void FakeUi::Scroll(int trackbar_id, int pos) {
  FakeDialog* d = Input();
  d->SetTrackbarPos(trackbar_id, pos, true);
  Call(*d, [d, trackbar_id] { d->handler_.OnHScroll(trackbar_id); });
}

void FakeUi::PressOk() {
  FakeDialog* d = Input();
  Call(*d, [d] {
    if (!d->handler_.OnOk()) d->EndDialog(kResultOk);
  });
}

void FakeUi::PressCancel() {
  FakeDialog* d = Input();
  Call(*d, [d] {
    if (!d->handler_.OnCancel()) d->EndDialog(kResultCancel);
  });
}

void FakeUi::MouseMove() {
  Input()->handler_.OnMouseMove();
}

bool FakeUi::SetCursorMessage() {
  FakeDialog* d = Input();
  if (d->handler_.OnSetCursor()) return true;
  // The default handling puts the class cursor back.
  cursor = CursorShape::Arrow;
  return false;
}

void FakeUi::Paint() {
  FakeDialog* d = Input();
  if (d->handler_.HandlesPaint()) d->handler_.OnPaint();
}

bool FakeUi::HelpButton() {
  return Input()->handler_.OnHelpButton();
}

}  // namespace z4::fakes
