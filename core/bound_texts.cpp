#include "core/bound_texts.h"

#include "platform/dialog_view.h"
#include "res/resource_ids.h"

namespace z4 {
namespace {

// In declaration order: value labels, row labels, date labels, the maintenance
// panel's title, number field and its label, the density labels.
constexpr int kBoundIds[] = {
    IDC_STABTIME_VALUE, IDC_OFFTIME_VALUE, IDC_LBL_BOARD,   IDC_LBL_FILEDATE,  IDC_LBL_FORMAT,
    IDC_LBL_OFFTIME,    IDC_LBL_STABTIME,  IDC_LBL_ADJUST,  IDC_LBL_EXTENSION, IDC_LBL_DAY,
    IDC_LBL_MONTH,      IDC_LBL_YEAR,      IDC_PANEL_TITLE, IDC_NUMBER,        IDC_NUMBER_LABEL,
    IDC_DENSITY_VALUE,  IDC_SHADE_THIN,    IDC_SHADE_DEEP};

// Cuts UTF-8 text after `chars` characters, never inside a character.
std::string FirstChars(const std::string& text, int chars) {
  std::size_t i = 0;
  for (int n = 0; i < text.size() && n < chars; ++n) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(0, i);
}

}  // namespace

BoundTexts::BoundTexts() {
  for (int id : kBoundIds) members_[id];
}

void BoundTexts::ReadBack(DialogView& view) {
  for (auto& [id, text] : members_) text = view.GetText(id);
  members_[IDC_NUMBER] = FirstChars(members_[IDC_NUMBER], kNumberFieldLimit);
}

void BoundTexts::Transfer(DialogView& view) {
  for (const auto& [id, text] : members_) view.SetText(id, text);
  view.SetTextLimit(IDC_NUMBER, kNumberFieldLimit);
}

}  // namespace z4
