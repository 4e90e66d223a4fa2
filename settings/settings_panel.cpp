#include "settings/settings_panel.h"

#include "app/decimal.h"
#include "app/shared_state.h"
#include "jobs/maintenance_texts.h"
#include "res/resource_ids.h"

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

  const int language = SharedState::GetLanguageFlag();
  if (language == 0 || language == 1) {
    for (const auto& t : MaintenanceTexts()) {
      const std::string text(language == 0 ? t.japanese : t.english);
      if (t.id == IDC_PANEL_TITLE || t.id == IDC_NUMBER_LABEL) {
        SetMemberText(t.id, text);
      } else {
        SetControlText(t.id, text);
      }
    }
  }
  members_.Transfer(view_);
}

void SettingsPanel::FillDateLists() {
  UseTextFont();
  struct List {
    int id;
    int first;
    int last;
  };
  for (const List& list :
       {List{IDC_YEAR_LIST, 2000, 2999}, List{IDC_MONTH_LIST, 1, 12}, List{IDC_DAY_LIST, 1, 31}}) {
    view_.ApplyTextFont(list.id);
    view_.ClearList(list.id);
    for (int n = list.first; n <= list.last; ++n) view_.AppendListEntry(list.id, FormatDecimal(n));
  }
}

void SettingsPanel::EnablePanelControls(bool enable) {
  for (int id : kSettingsControls) view_.Enable(id, enable);
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
