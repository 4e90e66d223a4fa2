// What a dialog's presenter does to its window, and what the window tells it.
// Texts are UTF-8. Control ids are those of the dialog resources.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/common_dialogs.h"
#include "platform/geometry.h"
#include "platform/image_control.h"

namespace z4 {

enum class CursorShape { Arrow, Wait };

// Standard dialog results of the OK and cancel commands.
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
// The result of a dialog that could not be created or that failed while it
// opened, and of one whose handler gave up on a failure (OnFailure).
constexpr int kResultFailed = -1;

class DialogHandler;

class DialogView {
 public:
  virtual ~DialogView() = default;

  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetIcon(int resource_id) = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string GetText(int id) = 0;
  // Limits how many characters the user can type into an edit control.
  virtual void SetTextLimit(int id, int chars) = 0;
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool GetCheck(int id) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual void SetFocus(int id) = 0;
  // Adds the controls of another dialog resource to this window, after its
  // own and in its font, placed in its dialog units: as if this window's
  // resource had held them.
  virtual void AddControls(int resource_id) = 0;

  virtual void SetTrackbarRange(int id, int min, int max, bool redraw) = 0;
  virtual void SetTrackbarTicFrequency(int id, int frequency) = 0;
  virtual void SetTrackbarPageSize(int id, int size) = 0;
  virtual void SetTrackbarPos(int id, int pos, bool redraw) = 0;
  virtual int GetTrackbarPos(int id) = 0;

  // Combo box lists; the edit field is reached through SetText/GetText.
  virtual void ClearList(int id) = 0;
  virtual void AppendListEntry(int id, const std::string& text) = 0;

  // The text-table font: made once from its face and size (tenths of a point),
  // then applied to the window (id 0) or to a control.
  virtual void SetTextFont(const std::string& face, int tenths_of_point) = 0;
  virtual void ApplyTextFont(int id) = 0;

  // Window rectangle in screen coordinates.
  virtual Rect WindowRect() = 0;
  virtual void MoveWindow(const Rect& rect, bool repaint) = 0;
  virtual Rect DesktopRect() = 0;

  virtual void StartTimer(int id, unsigned period_ms) = 0;
  virtual void StopTimer(int id) = 0;

  virtual void SetCursor(CursorShape shape) = 0;
  virtual void SetCursorPos(int x, int y) = 0;

  // A message box owned by this window with an OK button and no icon; returns
  // when it has been closed.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

  // Ends the dialog's modal run with `result` once the current message is done.
  virtual void EndDialog(int result) = 0;

  // Runs another dialog modally, owned by this one, and returns its result.
  virtual int RunModal(int resource_id, DialogHandler& handler) = 0;

  // A control's window rectangle in screen coordinates; moving a control to a
  // rectangle given in screen coordinates.
  virtual Rect ControlRect(int id) = 0;
  virtual void MoveControl(int id, const Rect& screen_rect, bool repaint) = 0;
  // What a text takes on one line in a control's font, and the window's client
  // area in screen coordinates, in pixels at the running scale: for the texts a
  // presenter places itself. A view that cannot tell answers with an empty size
  // or rectangle, and the controls keep the places the resource gives them.
  virtual Size TextSize(int /*id*/, const std::string& /*text*/) { return {}; }
  virtual Rect ClientArea() { return {}; }
  // Drawing on a control's client area, after the control has painted itself.
  virtual std::unique_ptr<Canvas> DrawOn(int id) = 0;
  // The colours of the window's client area inside `rect` (client
  // coordinates), row by row from the top; kInvalidColour for every point
  // that is outside the client area or not visible on the screen.
  virtual std::vector<Colour> CaptureClient(const Rect& rect) = 0;
  // The Save As and print dialogs, owned by this window.
  virtual CommonDialogs& Dialogs() = 0;
  // The image component hosted in this window; nullptr when it has none.
  virtual ImageControl* Imaging() = 0;
};

// The presenter side of a dialog. The window calls these for its messages; the
// defaults are what the platform would do.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // Returns true to let the window set the initial focus itself.
  virtual bool OnInitDialog(DialogView& view) = 0;
  // The window has been shown and painted for the first time; nothing the
  // user did has reached it yet, and no timer of it has fired.
  virtual void OnShown() {}
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // The standard OK and cancel commands (Enter, Escape, the close button).
  // Return false to let the window end with kResultOk or kResultCancel.
  virtual bool OnOk() { return false; }
  virtual bool OnCancel() { return false; }
  virtual void OnTimer(int /*id*/) {}
  virtual void OnHScroll(int /*id*/) {}
  // Returns true when the handler has set the cursor itself.
  virtual bool OnSetCursor() { return false; }
  virtual void OnMouseMove() {}
  // The caption's help button; returns true when handled.
  virtual bool OnHelpButton() { return false; }
  // Windows that draw on themselves: the window validates its update region,
  // then calls OnPaint.
  virtual bool HandlesPaint() const { return false; }
  virtual void OnPaint() {}
  // The system has removed the volumes of these drive letters (bit 0 drive
  // A): a disk was taken away.
  virtual void OnVolumesRemoved(unsigned long /*unit_mask*/) {}
  virtual void OnDestroy() {}
  // A handler of this window failed (a step ran out of memory) after the
  // window had opened; the user has been told. The default goes on; a window
  // that cannot (one waiting for the board) ends itself here.
  virtual void OnFailure() {}
};

// Runs a top-level dialog (one with no owner window) modally.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual int RunModal(int resource_id, DialogHandler& handler) = 0;
  // A message box with no owner window, OK only and no icon.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // What the windows say when a step fails for want of memory: the step is
  // given up, the user told, and the program goes on.
  virtual void SetFailureMessage(const std::string& /*text*/, const std::string& /*caption*/) {}
};

}  // namespace z4
