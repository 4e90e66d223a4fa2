#include "viewers/ccd_graph_dlg.h"

#include "core/data_folder.h"
#include "core/decimal.h"
#include "core/shared_state.h"
#include "core/text_placement.h"
#include "device/board_file_limits.h"
#include "device/file_exchange.h"
#include "res/resource_ids.h"
#include "viewers/builtin_fonts.h"
#include "viewers/level_bitmap.h"
#include "viewers/level_curve.h"
#include "viewers/level_data.h"
#include "viewers/level_labels.h"
#include "viewers/level_print.h"

namespace z4 {
namespace {

// The label members in the order they are exchanged with their controls.
constexpr int kLabelIds[] = {1050, 1051, 1060, 1052, 1053, 1054, 1055,           1056,
                             1057, 1058, 1059, 1061, 1064, 1065, 1066,           1067,
                             1068, 1069, 1070, 1071, 1072, 1073, IDC_BLACK_LEVEL};

constexpr Colour kGridColour = Rgb(128, 128, 128);
constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kBlack = Rgb(0, 0, 0);

// The message names the file where it was to be written.
std::string SaveFailedText(int language, const std::string& path) {
  return language == 0 ? "Level.bmp を保存できませんでした:\n" + path
                       : "Level.bmp could not be saved:\n" + path;
}

}  // namespace

CCcdGraphDlg::CCcdGraphDlg(Ports& ports) : ports_(ports) {
  for (int id : kLabelIds) labels_[id];
}

void CCcdGraphDlg::PushLabels() {
  for (int id : kLabelIds) view_->SetText(id, labels_[id]);
}

void CCcdGraphDlg::ReadBackLabels() {
  for (int id : kLabelIds) labels_[id] = view_->GetText(id);
}

void CCcdGraphDlg::UseLabelFont(int id) {
  view_->ApplyTextFont(id);
}

bool CCcdGraphDlg::OnInitDialog(DialogView& view) {
  view_ = &view;
  PushLabels();  // every axis label and the caption start blank
  const int language = SharedState::GetLanguageFlag();
  view.SetTextFont(BuiltInFontFace(language), BuiltInFontSize(language));
  UseLabelFont(0);
  view.SetCaption("");
  for (const auto& [id, text] : {std::pair<int, const char*>{IDC_GRAPH_SAVE, "Save"},
                                 {IDC_GRAPH_PRINT, "PRINT"},
                                 {IDC_GRAPH_END, "END"}}) {
    UseLabelFont(id);
    view.SetText(id, text);
  }
  view.SetIcon(IDI_Z4UTILITY);

  graph_ready_ = false;
  if (LoadLevelData(ports_)) {
    UseLabelFont(IDC_BLACK_LEVEL);
    labels_[IDC_BLACK_LEVEL] = "BlackLevel" + ReadLevelKey(ports_, kBlackLevel);
    PushLabels();
    // The maximum level is read once, here, from the copy just fetched:
    // repaints and printing never go back to the board for it.
    const auto bytes = ports_.files.ReadFile(Levels().file_path, kLevelFileLimit);
    max_level_ = bytes ? ParseDecimal(LevelKeyIn(*bytes, kMaxLevel)) : -1;
  }
  if (Levels().count != 0) {
    DrawLevelGraph();
    graph_ready_ = true;
  }
  return true;
}

void CCcdGraphDlg::OnCommand(int id, int /*code*/) {
  switch (id) {
    case IDC_GRAPH_END:
      view_->EndDialog(kResultOk);
      break;
    case IDC_GRAPH_PRINT:
      PrintLevelGraph();
      break;
    case IDC_GRAPH_SAVE:
      SaveLevelBitmap();
      break;
    default:
      break;
  }
}

void CCcdGraphDlg::OnPaint() {
  if (graph_ready_) DrawLevelGraph();
}

void CCcdGraphDlg::OnDestroy() {
  DeleteDeviceFile(ports_, kDeleteLevelData);
}

void CCcdGraphDlg::DrawLevelGraph() {
  const auto canvas = view_->DrawOn(IDC_GRAPH_FRAME);
  if (!canvas) return;
  canvas->SelectPen(PenStyle::Solid, 1, kGridColour);
  const Rect r = canvas->Area();
  canvas->FillRect(r, kWhite);
  const int step_x = r.Width() / 10;
  const int step_y = r.Height() / 10;
  for (int k = 1; k <= 10; ++k) {
    canvas->Line({r.left, r.bottom - k * step_y}, {r.right, r.bottom - k * step_y});
  }
  for (int k = 1; k <= 10; ++k) canvas->Line({k * step_x, r.top}, {k * step_x, r.bottom});
  canvas->RestorePen();
  LayoutAxisLabels(view_->ControlRect(IDC_GRAPH_FRAME), step_x, step_y);
  DrawLevelCurve(*canvas, 10 * step_x, 10 * step_y);
}

void CCcdGraphDlg::LayoutAxisLabels(const Rect& frame, int step_x, int step_y) {
  const double base = 0.0;
  const double step = (static_cast<double>(max_level_) - base) / 10.0;
  UseLabelFont(IDC_LEVEL_AXIS_0);
  labels_[IDC_LEVEL_AXIS_0] = FormatLevelLabel(base);
  static constexpr double kUnitSteps[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
  for (int k = 1; k <= 10; ++k) {
    UseLabelFont(IDC_LEVEL_AXIS_0 + k);
    labels_[IDC_LEVEL_AXIS_0 + k] =
        FormatLevelLabel(step != 0 ? step * k + base : base + kUnitSteps[k - 1]);
  }

  // k tenths of the sample count, in whole samples: in integers, since a
  // tenth has no exact binary form (seven samples made 0.7 * 10 and, in the
  // x87's longer digits, a last label of 6).
  const int count = Levels().count;
  UseLabelFont(IDC_SAMPLE_AXIS_0);
  labels_[IDC_SAMPLE_AXIS_0] = "1";
  for (int k = 1; k <= 10; ++k) {
    UseLabelFont(IDC_SAMPLE_AXIS_1 - 1 + k);
    labels_[IDC_SAMPLE_AXIS_1 - 1 + k] = FormatDecimal(count * k / 10);
  }

  // Each label centred on its grid line (an even number of pixels long, the
  // same on either side) and kept inside the window; those of the samples as
  // wide as their texts and a pixel or two, so that the last one, on the
  // frame's right edge, does not run out of the window.
  const Rect client = view_->ClientArea();
  const Rect a = view_->ControlRect(IDC_LEVEL_AXIS_0);
  for (int k = 1; k <= 10; ++k) {
    const int id = IDC_LEVEL_AXIS_0 + k;
    const Span rows =
        CentredWithin(frame.bottom - k * step_y, view_->ControlRect(id).Height() / 2 * 2,
                      Span{client.top, client.bottom});
    view_->MoveControl(id, Rect{a.left, rows.first, a.right, rows.last}, true);
  }
  const Rect b = view_->ControlRect(IDC_SAMPLE_AXIS_0);
  for (int k = 1; k <= 10; ++k) {
    const int id = IDC_SAMPLE_AXIS_1 - 1 + k;
    const int text = view_->TextSize(id, labels_[id]).width;
    const int width = text > 0 ? text + 2 : view_->ControlRect(id).Width();
    const Span columns =
        CentredWithin(frame.left + k * step_x, width / 2 * 2, Span{client.left, client.right});
    view_->MoveControl(id, Rect{columns.first, b.top, columns.last, b.bottom}, true);
  }
  PushLabels();
}

void CCcdGraphDlg::DrawLevelCurve(Canvas& canvas, int plot_width, int plot_height) {
  canvas.SelectPen(PenStyle::Solid, 2, kBlack);
  ReadBackLabels();
  const Rect r = canvas.Area();
  const LevelScale scale{ParseLevelLabel(labels_[IDC_LEVEL_AXIS_10]),
                         ParseLevelLabel(labels_[IDC_LEVEL_AXIS_0])};
  const auto points = ScreenCurve(Levels(), scale, plot_width, plot_height, r.bottom);
  for (std::size_t i = 1; i < points.size(); ++i) canvas.Line(points[i - 1], points[i]);
  canvas.RestorePen();
}

void CCcdGraphDlg::PrintLevelGraph() {
  const auto job = view_->Dialogs().ChoosePrinter();
  if (!job) return;
  ReadBackLabels();
  PrintLevelPage(*job, labels_, Levels());
}

void CCcdGraphDlg::SaveLevelBitmap() {
  for (int id : {IDC_GRAPH_END, IDC_GRAPH_PRINT, IDC_GRAPH_SAVE}) view_->Enable(id, false);
  view_->SetCursor(CursorShape::Wait);
  const std::vector<Colour> rows =
      view_->CaptureClient(Rect{0, 1, kLevelBitmapWidth, kLevelBitmapHeight + 1});
  const std::string bytes = EncodeLevelBitmap(rows, kLevelBitmapWidth, kLevelBitmapHeight);
  const std::string path = GetDataFolder(ports_.system) + "\\Level.bmp";
  // A temporary file replaces the old one only when it is complete: a failed
  // save leaves no half-written file and keeps the previous Level.bmp.
  const bool saved = ports_.files.ReplaceFileContents(path, bytes);
  view_->SetCursor(CursorShape::Arrow);
  if (!saved) {
    view_->ShowMessage(SaveFailedText(SharedState::GetLanguageFlag(), path), "Level.bmp");
  }
  for (int id : {IDC_GRAPH_END, IDC_GRAPH_PRINT, IDC_GRAPH_SAVE}) view_->Enable(id, true);
}

void CCcdGraphDlg::OnFailure() {
  view_->SetCursor(CursorShape::Arrow);
  for (int id : {IDC_GRAPH_END, IDC_GRAPH_PRINT, IDC_GRAPH_SAVE}) view_->Enable(id, true);
}

}  // namespace z4
