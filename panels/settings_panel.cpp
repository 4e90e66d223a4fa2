#include "panels/settings_panel.h"

#include <algorithm>

#include "core/backup_folder.h"
#include "core/decimal.h"
#include "core/shared_state.h"
#include "device/board_gone.h"
#include "device/drive_discovery.h"
#include "device/file_exchange.h"
#include "jobs/job_start.h"
#include "panels/maintenance_texts.h"
#include "res/resource_ids.h"
#include "settings/settings_format.h"
#include "settings/settings_storage.h"

namespace z4 {
namespace {

// Controls that follow the enable flag, in both modes.
constexpr int kSettingsControls[] = {IDC_SETTING_0,
                                     IDC_SETTING_1,
                                     IDC_FORMAT_PNG,
                                     IDC_FORMAT_TIFF,
                                     IDC_IMAGEMOVE_0,
                                     IDC_IMAGEMOVE_1,
                                     IDC_SET,
                                     IDC_YEAR_LIST,
                                     IDC_MONTH_LIST,
                                     IDC_DAY_LIST,
                                     IDC_OFFTIME_TRACKBAR,
                                     IDC_STABTIME_TRACKBAR,
                                     IDC_DENSITY_TRACKBAR};

// The maintenance items, execute, and the one-shot/continuous pairs.
constexpr int kMaintenanceControls[] = {
    IDC_ITEM_CCD,       IDC_ITEM_EMC,         IDC_ITEM_SWLED,    IDC_ITEM_FEED,
    IDC_ITEM_MEMORY,    IDC_ITEM_INFO,        IDC_ITEM_CALCLEAR, IDC_ITEM_WAVE,
    IDC_ITEM_KIBAN,     IDC_EXECUTE,          IDC_FEED_ONESHOT,  IDC_FEED_CONTINUOUS,
    IDC_MEMORY_ONESHOT, IDC_MEMORY_CONTINUOUS};

}  // namespace

SettingsPanel::SettingsPanel(Ports& ports, DialogView& view, BoundTexts& members,
                             const TextTable& texts)
    : ports_(ports), view_(view), members_(members), texts_(texts) {}

void SettingsPanel::UseTextFont() {
  view_.SetTextFont(texts_.FontFace(), texts_.FontSize());
  view_.ApplyTextFont(0);
}

void SettingsPanel::SetControlText(int id, const std::string& text) {
  view_.ApplyTextFont(id);
  view_.SetText(id, text);
}

void SettingsPanel::SetMemberText(int id, const std::string& text) {
  view_.ApplyTextFont(id);
  members_[id] = text;
}

void SettingsPanel::ApplyTexts() {
  UseTextFont();
  members_.ReadBack(view_);
  view_.SetCaption(texts_.Text(TextKey::CONF_DIALOG));

  SetMemberText(IDC_LBL_BOARD, texts_.Text(TextKey::LBL_BOARD));
  SetMemberText(IDC_LBL_FILEDATE, texts_.Text(TextKey::LBL_FILEDATE));
  SetMemberText(IDC_LBL_FORMAT, texts_.Text(TextKey::LBL_FORMAT));
  SetMemberText(IDC_LBL_OFFTIME, texts_.Text(TextKey::LBL_OFFTIME));
  SetMemberText(IDC_LBL_STABTIME, texts_.Text(TextKey::LBL_STABTIME));
  SetMemberText(IDC_LBL_ADJUST, texts_.Text(TextKey::LBL_ADJUST));
  SetMemberText(IDC_LBL_EXTENSION, texts_.Text(TextKey::LBL_EXTENSION));
  SetMemberText(IDC_SHADE_THIN, texts_.Text(TextKey::LVL_SHADE_THIN));
  SetMemberText(IDC_SHADE_DEEP, texts_.Text(TextKey::LVL_SHADE_DEEP));

  SetControlText(IDC_SETTING_0, texts_.Text(TextKey::RADIO_BOARD_1));
  SetControlText(IDC_SETTING_1, texts_.Text(TextKey::RADIO_BOARD_2));
  SetControlText(IDC_IMAGEMOVE_0, texts_.Text(TextKey::RADIO_EXT_1));
  SetControlText(IDC_IMAGEMOVE_1, texts_.Text(TextKey::RADIO_EXT_2));

  SetMemberText(IDC_LBL_YEAR, texts_.Text(TextKey::LBL_FILE_YEAR));
  SetMemberText(IDC_LBL_MONTH, texts_.Text(TextKey::LBL_FILE_MONTH));
  SetMemberText(IDC_LBL_DAY, texts_.Text(TextKey::LBL_FILE_DAY));

  SetControlText(IDC_FORMAT_PNG, texts_.Text(TextKey::RADIO_FILE_1));
  SetControlText(IDC_FORMAT_TIFF, texts_.Text(TextKey::RADIO_FILE_2));
  SetControlText(IDC_SET, texts_.Text(TextKey::BUTTON_SET));
  SetControlText(IDC_CANCEL_BUTTON, texts_.Text(TextKey::BUTTON_CANSEL));

  if (maintenance_panel_) SetMaintenanceTexts();
  members_.Transfer(view_);
}

void SettingsPanel::MaintenancePanelAdded() {
  maintenance_panel_ = true;
  UseTextFont();
  members_.ReadBack(view_);
  SetMaintenanceTexts();
  members_.Transfer(view_);
}

void SettingsPanel::SetMaintenanceTexts() {
  const int language = SharedState::GetLanguageFlag();
  if (language != 0 && language != 1) return;
  for (const auto& t : MaintenanceTexts()) {
    const std::string text(language == 0 ? t.japanese : t.english);
    if (t.id == IDC_PANEL_TITLE || t.id == IDC_NUMBER_LABEL) {
      SetMemberText(t.id, text);
    } else {
      SetControlText(t.id, text);
    }
  }
}

namespace {

struct DateList {
  int id;
  int first;
  int last;
};
constexpr DateList kDateLists[] = {
    {IDC_YEAR_LIST, 2000, 2999}, {IDC_MONTH_LIST, 1, 12}, {IDC_DAY_LIST, 1, 31}};

}  // namespace

void SettingsPanel::EmptyDateLists() {
  UseTextFont();
  for (const DateList& list : kDateLists) {
    view_.ApplyTextFont(list.id);
    view_.ClearList(list.id);
  }
}

void SettingsPanel::FillDateLists() {
  for (const DateList& list : kDateLists) {
    for (int n = list.first; n <= list.last; ++n) view_.AppendListEntry(list.id, FormatDecimal(n));
  }
}

void SettingsPanel::EnablePanelControls(bool enable) {
  for (int id : kSettingsControls) view_.Enable(id, enable);
  if (!maintenance_panel_) return;
  for (int id : kMaintenanceControls) view_.Enable(id, enable);
  view_.Enable(IDC_NUMBER, enable);
  view_.Enable(IDC_STOP, !enable);
  if (SharedState::GetTestAdjustMode() == 0) {
    for (int id : kMaintenanceControls) view_.Enable(id, false);
    view_.Enable(IDC_STOP, false);
    view_.Enable(IDC_NUMBER, enable);
  }
}

void SettingsPanel::ValueLabels(int trackbar_id) {
  members_.ReadBack(view_);
  UseTextFont();
  const int pos = view_.GetTrackbarPos(trackbar_id);
  switch (trackbar_id) {
    case IDC_OFFTIME_TRACKBAR:
      SetMemberText(IDC_OFFTIME_VALUE, FormatDecimal(pos * 15) + texts_.Text(TextKey::SLIDER_MIN));
      break;
    case IDC_STABTIME_TRACKBAR:
      SetMemberText(IDC_STABTIME_VALUE,
                    FormatDecimal(pos * 10) + texts_.Text(TextKey::SLIDER_SECOND));
      break;
    case IDC_DENSITY_TRACKBAR:
      SetMemberText(IDC_DENSITY_VALUE, FormatDecimal(pos) + "%");
      break;
    default:
      break;
  }
  members_.Transfer(view_);
}

void SettingsPanel::UnloggedMessage(const std::string& log) {
  if (closing_) return;  // no message while the window goes
  if (SharedState::GetLanguageFlag() == 0) {
    view_.ShowMessage(
        "Set の記録をログに書き込めませんでした:\n" + log +
            "\nSet そのものは取り消していません。ログに書き込めない間は、この後の Set "
            "も記録されません。このメッセージは一度だけ表示します。",
        "Z4Utility");
    return;
  }
  view_.ShowMessage("A Set could not be recorded in the log:\n" + log +
                        "\nThe Set itself is not undone. While the log cannot be written, the Sets "
                        "that follow are not recorded either; this message is shown once.",
                    "Z4Utility");
}

void SettingsPanel::DeviceErrorMessage(int kind) {
  UseTextFont();
  std::string text;
  switch (kind) {
    case kNoDeviceAtStart:
      text = texts_.Text(TextKey::ERROR_USB_INITIALIZE);
      break;
    case kWriteFailed:
      text = texts_.Text(TextKey::ERROR_USB_WRITE_JAPAN);
      break;
    case kDeviceRemoved:
      text = texts_.Text(TextKey::ERROR_USB_STOP_JAPAN);
      break;
    default:
      break;
  }
  view_.ShowMessage(text, texts_.Text(TextKey::ERROR_USB_CAPTION_JAPAN));
}

}  // namespace z4

namespace z4 {
namespace {

// What the lists show of "YYYY/MM/DD": the year, and month and day without a
// leading zero.
std::string DatePart(const std::string& date, std::size_t at, std::size_t length) {
  if (at >= date.size()) return {};
  std::string part = date.substr(at, length);
  if (length == 2 && part.size() == 2 && part[0] == '0') part.erase(0, 1);
  return part;
}

// A typed value zero-filled to `width` when it is one of its list's entries
// (written with a leading zero or not); empty otherwise (a month 112,
// full-width digits, letters).
std::string Offered(const std::string& typed, int first, int last, std::size_t width) {
  const int n = typed.size() > width ? -1 : ParseDecimal(typed);
  if (n < first || n > last) return {};
  const std::string text = FormatDecimal(n);
  return std::string(width - std::min(width, text.size()), '0') + text;
}

// At most `count` characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; at < text.size() && n < count; ++n) {
    do {
      ++at;
    } while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80);
  }
  return text.substr(0, at);
}

}  // namespace

void SettingsPanel::ShowDate(const std::string& date) {
  view_.SetText(IDC_YEAR_LIST, DatePart(date, 0, 4));
  view_.SetText(IDC_MONTH_LIST, DatePart(date, 5, 2));
  view_.SetText(IDC_DAY_LIST, DatePart(date, 8, 2));
}

void SettingsPanel::LoadAndShowSettings(bool reload) {
  if (reload) LoadSettings(ports_, SharedState::GetUseDefaults() ? 1 : 0);
  members_.ReadBack(view_);
  UseTextFont();
  const SettingsRecord s = SharedState::GetDeviceSettings();

  view_.SetTrackbarRange(IDC_DENSITY_TRACKBAR, 70, 90, false);
  view_.SetTrackbarTicFrequency(IDC_DENSITY_TRACKBAR, 5);
  view_.SetTrackbarPageSize(IDC_DENSITY_TRACKBAR, 1);
  view_.SetTrackbarPos(IDC_DENSITY_TRACKBAR, s.Density, true);
  SetMemberText(IDC_DENSITY_VALUE, FormatDecimal(s.Density) + "%");

  view_.SetTrackbarRange(IDC_OFFTIME_TRACKBAR, 2, 8, false);
  view_.SetTrackbarTicFrequency(IDC_OFFTIME_TRACKBAR, 1);
  view_.SetTrackbarPageSize(IDC_OFFTIME_TRACKBAR, 1);
  view_.SetTrackbarPos(IDC_OFFTIME_TRACKBAR, s.CCFLOffTim / 15, true);
  SetMemberText(IDC_OFFTIME_VALUE, FormatDecimal(s.CCFLOffTim) + texts_.Text(TextKey::SLIDER_MIN));

  view_.SetTrackbarRange(IDC_STABTIME_TRACKBAR, 1, 12, false);
  view_.SetTrackbarTicFrequency(IDC_STABTIME_TRACKBAR, 1);
  view_.SetTrackbarPageSize(IDC_STABTIME_TRACKBAR, 1);
  view_.SetTrackbarPos(IDC_STABTIME_TRACKBAR, s.CCFLStabTim / 10, true);
  SetMemberText(IDC_STABTIME_VALUE,
                FormatDecimal(s.CCFLStabTim) + texts_.Text(TextKey::SLIDER_SECOND));

  view_.SetCheck(IDC_FORMAT_PNG, false);
  view_.SetCheck(IDC_FORMAT_TIFF, false);
  view_.SetCheck(s.FileFormat == 0 ? IDC_FORMAT_PNG : IDC_FORMAT_TIFF, true);
  view_.SetCheck(IDC_SETTING_0, false);
  view_.SetCheck(IDC_SETTING_1, false);
  view_.SetCheck(s.Setting == 1 ? IDC_SETTING_1 : IDC_SETTING_0, true);
  ShowDate(s.FileDate);
  view_.SetCheck(IDC_IMAGEMOVE_0, false);
  view_.SetCheck(IDC_IMAGEMOVE_1, false);
  view_.SetCheck(s.ImageMove == 1 ? IDC_IMAGEMOVE_1 : IDC_IMAGEMOVE_0, true);

  if (reload) {
    // The maintenance panel starts on its one-shot choices.
    view_.SetCheck(IDC_FEED_ONESHOT, true);
    view_.SetCheck(IDC_FEED_CONTINUOUS, false);
    view_.SetCheck(IDC_MEMORY_ONESHOT, true);
    view_.SetCheck(IDC_MEMORY_CONTINUOUS, false);
  }
  members_.Transfer(view_);
  DeleteDeviceFile(ports_, kDeleteSettings);
}

int SettingsPanel::CollectAndWrite(std::string* reason) {
  members_.ReadBack(view_);
  // The date is taken as typed: each part must be one of its list's entries.
  const std::string typed[] = {view_.GetText(IDC_YEAR_LIST), view_.GetText(IDC_MONTH_LIST),
                               view_.GetText(IDC_DAY_LIST)};
  const std::string year = Offered(typed[0], 2000, 2999, 4);
  const std::string month = Offered(typed[1], 1, 12, 2);
  const std::string day = Offered(typed[2], 1, 31, 2);
  const std::string date = year + "/" + month + "/" + day + " 00:00:00";
  if (year.empty() || month.empty() || day.empty() || !IsValidFileDate(date)) {
    const bool offered = !year.empty() && !month.empty() && !day.empty();
    if (reason) {
      *reason = "no valid date: " +
                (offered ? date.substr(0, 10)
                         : FirstCharacters(typed[0], 10) + "/" + FirstCharacters(typed[1], 10) +
                               "/" + FirstCharacters(typed[2], 10));
    }
    return 1;
  }

  SettingsRecord pending;
  pending.FileDate = date;
  pending.Density = view_.GetTrackbarPos(IDC_DENSITY_TRACKBAR);
  pending.CCFLOffTim = view_.GetTrackbarPos(IDC_OFFTIME_TRACKBAR) * 15;
  pending.CCFLStabTim = view_.GetTrackbarPos(IDC_STABTIME_TRACKBAR) * 10;
  pending.FileFormat = view_.GetCheck(IDC_FORMAT_PNG) ? 0 : 1;
  pending.Setting = view_.GetCheck(IDC_SETTING_1) ? 1 : 0;
  pending.ImageMove = view_.GetCheck(IDC_IMAGEMOVE_1) ? 1 : 0;
  SharedState::SetPendingSettings(pending);
  const int saved = SaveSettings(ports_, pending);
  if (saved != 0 && reason) *reason = "the settings file could not be prepared";
  return saved;
}

void SettingsPanel::Set() {
  if (SharedState::GetJobRunning()) return;
  if (SharedState::GetTestAdjustMode() == 0 && SharedState::GetDeviceFound() == 0) {
    FindDeviceDrive(ports_);
    if (SharedState::GetDeviceFound() == 0) {
      set_record_.Failed("no board");
      DeviceErrorMessage(kWriteFailed);
      LoadAndShowSettings(false);
      EnablePanelControls(false);
      // The device watch searches for the board again.
      SharedState::SetDeviceState(DeviceState::kSearching);
      SharedState::SetRetryCount(0);
      return;
    }
  }
  SharedState::SetPanelBusy(1);
  EmptyBackupFolder(ports_);
  std::string reason;
  if (CollectAndWrite(&reason) != 0) {
    // An impossible date or a settings file that cannot be written: back to
    // the current settings, without a message.
    set_record_.Failed(reason);
    LoadAndShowSettings(false);
    EnablePanelControls(true);
  } else {
    EnablePanelControls(false);
    if (SharedState::GetDeviceFound() == 1) {
      set_record_.Begin(SharedState::GetDeviceSettings(), SharedState::GetPendingSettings());
      StartJob(ports_, view_, SettingsJobRequest(true));
      // A job file that cannot be written would leave the panel disabled for
      // good; it is a write the board did not take.
      if (!SharedState::GetJobRunning()) {
        set_record_.Failed(BoardGone() ? "the board did not answer"
                                       : "the job file could not be written");
        WriteJobNotDone();
      }
    } else {
      set_record_.Failed("no board");
      LoadAndShowSettings(false);
      EnablePanelControls(true);
    }
  }
  SharedState::SetPanelBusy(0);
}

void SettingsPanel::WriteJobNotDone() {
  SharedState::SetUseDefaults(true);
  SharedState::SetCursorState(CursorState::kRestoreArrow);
  DeviceErrorMessage(kWriteFailed);
  LoadAndShowSettings(false);
  EnablePanelControls(true);
}

}  // namespace z4
