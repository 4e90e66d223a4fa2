#include "viewers/file_name_dlg.h"

#include "core/shared_state.h"
#include "core/utf8_length.h"
#include "res/resource_ids.h"
#include "viewers/builtin_fonts.h"

namespace z4 {
void CFileNameDlg::ReadBack() {
  name_part_ = view_->GetText(IDC_FILENAME_EDIT);
  prompt_ = view_->GetText(IDC_FILENAME_PROMPT);
}

void CFileNameDlg::Push() {
  view_->SetText(IDC_FILENAME_EDIT, name_part_);
  view_->SetText(IDC_FILENAME_PROMPT, prompt_);
  view_->SetTextLimit(IDC_FILENAME_EDIT, kNamePartLimit);
}

bool CFileNameDlg::OnInitDialog(DialogView& view) {
  view_ = &view;
  Push();
  ReadBack();
  const int language = SharedState::GetLanguageFlag();
  view.SetTextFont(BuiltInFontFace(language), BuiltInFontSize(language));
  prompt_ = language != 0
                ? "Please input file name"
                : "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE5\x90\x8D\xE3\x82\x92"
                  "\xE5\x85\xA5\xE5\x8A\x9B\xE3\x81\x97\xE3\x81\xA6\xE4\xB8\x8B\xE3\x81\x95"
                  "\xE3\x81\x84";  // ファイル名を入力して下さい
  view.ApplyTextFont(IDC_FILENAME_PROMPT);
  view.ApplyTextFont(IDC_FILENAME_SET);
  view.SetText(IDC_FILENAME_SET, "SET");
  Push();
  return true;
}

void CFileNameDlg::OnPaint() {
  // Whatever happens on screen, typing goes into the name part.
  view_->SetFocus(IDC_FILENAME_EDIT);
}

void CFileNameDlg::OnCommand(int id, int /*code*/) {
  if (id != IDC_FILENAME_SET) return;  // text changes in the edit are not looked at
  ReadBack();
  if (Utf8Length(name_part_) < 5) {
    SharedState::SetEnteredFileName(SharedState::GetEnteredFileName() + name_part_);
    view_->EndDialog(kResultOk);
  }
}

}  // namespace z4
