// The CCD level graph window: the white levels of the last waveform job over a
// 10 x 10 grid, the level from 0 to the board's maximum level upwards, the
// sample number to the right, and the black level in the top right corner.
// PRINT prints it on one page, Save writes it as "Level.bmp", and closing it
// by any means deletes "Z4.CSV" from the board.
#pragma once

#include <map>
#include <string>

#include "core/ports.h"
#include "platform/dialog_view.h"

namespace z4 {

class CCcdGraphDlg : public DialogHandler {
 public:
  explicit CCcdGraphDlg(Ports& ports);

  bool OnInitDialog(DialogView& view) override;
  void OnCommand(int id, int code) override;
  bool HandlesPaint() const override { return true; }
  void OnPaint() override;
  void OnDestroy() override;
  // A step that failed (a save without memory) gives the buttons back.
  void OnFailure() override;

  // Grid, axis labels and curve.
  void DrawLevelGraph();
  // Places the 20 moving axis labels along the grid and fills the 22 axis
  // texts. `frame` is the plot frame's window rectangle in screen coordinates.
  void LayoutAxisLabels(const Rect& frame, int step_x, int step_y);
  // PRINT: the print dialog, then the graph on one page.
  void PrintLevelGraph();
  // Save: the window's client area into "Level.bmp" in the program folder.
  void SaveLevelBitmap();

  // The maximum level as read when the window opened; -1 when unreadable.
  int MaxLevel() const { return max_level_; }

 private:
  void PushLabels();
  void ReadBackLabels();
  void DrawLevelCurve(Canvas& canvas, int plot_width, int plot_height);
  void UseLabelFont(int id);

  Ports& ports_;
  DialogView* view_ = nullptr;
  std::map<int, std::string> labels_;
  int max_level_ = -1;
  bool graph_ready_ = false;
};

}  // namespace z4
