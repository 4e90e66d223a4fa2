#include "viewers/kiban_dlg.h"

#include <algorithm>

#include "core/own_files.h"
#include "core/shared_state.h"
#include "device/board_file_limits.h"
#include "device/board_gone.h"
#include "device/drive_error_dialogs.h"
#include "device/file_exchange.h"
#include "imaging/image_sequences.h"
#include "jobs/job_file.h"
#include "res/resource_ids.h"
#include "viewers/builtin_fonts.h"
#include "viewers/captured_image.h"
#include "viewers/error_log.h"
#include "viewers/file_name_dlg.h"

namespace z4 {
namespace {

constexpr char kSaveFolderRoot[] = "C:\\Z4";
constexpr unsigned kLogDeletePauseMs = 150;

struct WindowTexts {
  const char* title;
  const char* image_caption;
  const char* log_caption;
  const char* close;
  const char* stop;
};

constexpr WindowTexts kEnglish = {"Kiban", "Image File", "Error Log", "RETURN", "STOP"};
constexpr WindowTexts kJapanese = {
    "\xE5\x9F\xBA\xE6\x9D\xBF\xE6\xA4\x9C\xE6\x9F\xBB",  // 基板検査
    "\xE3\x82\xA4\xE3\x83\xA1\xE3\x83\xBC\xE3\x82\xB8\xE3\x83\x95\xE3\x82\xA1"
    "\xE3\x82\xA4\xE3\x83\xAB",  // イメージファイル
    "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\xE3\x83\xAD\xE3\x82\xB0\xE5\x86\x85"
    "\xE5\xAE\xB9",                      // エラーログ内容
    "END", "\xE4\xB8\xAD\xE6\x96\xAD"};  // 中断

std::string SaveFailedText(int language, const std::string& path) {
  if (language == 0) {
    // の保存に失敗しました。ボードの画像は残してあります。
    return path +
           " \xE3\x81\xAE\xE4\xBF\x9D\xE5\xAD\x98\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97\xE3\x81\x97"
           "\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82\xE3\x83\x9C\xE3\x83\xBC\xE3\x83\x89"
           "\xE3\x81\xAE\xE7\x94\xBB\xE5\x83\x8F\xE3\x81\xAF\xE6\xAE\x8B\xE3\x81\x97\xE3\x81\xA6"
           "\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82";
  }
  return "The image could not be saved as " + path + ". The board still holds the image.";
}

// Makes the folder the current directory to see that it can be used, creating
// it when it cannot; the current directory is the same afterwards.
bool EnsureFolder(FileSystem& files, const std::string& folder) {
  const auto saved = files.CurrentDirectory();
  bool usable = files.EnterDirectory(folder);
  if (!usable) {
    // A folder that cannot be created is met again by the copy into it.
    usable = !files.MakeDirectory(folder) || files.EnterDirectory(folder);
  }
  if (saved) files.EnterDirectory(*saved);
  return usable;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FolderOf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Whether two paths name the same file: their full paths, compared without
// regard to case as the board's file system does.
bool SamePath(FileSystem& files, const std::string& a, const std::string& b) {
  const std::string full_a = files.FullPath(a);
  const std::string full_b = files.FullPath(b);
  return std::equal(full_a.begin(), full_a.end(), full_b.begin(), full_b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string NameOf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

CKibanDlg::CKibanDlg(Ports& ports) : ports_(ports) {}

void CKibanDlg::PushTexts() {
  view_->SetText(IDC_KIBAN_IMAGE_CAPTION, image_caption_);
  view_->SetText(IDC_KIBAN_LOG_CAPTION, log_caption_);
  view_->SetText(IDC_KIBAN_LOG, log_text_);
}

void CKibanDlg::ApplyTexts() {
  const int language = SharedState::GetLanguageFlag();
  view_->SetTextFont(BuiltInFontFace(language), BuiltInFontSize(language));
  view_->ApplyTextFont(0);
  if (language != 0 && language != 1) return;  // the resource's texts stay
  const WindowTexts& t = language == 0 ? kJapanese : kEnglish;
  for (int id : {IDC_KIBAN_IMAGE_CAPTION, IDC_KIBAN_LOG_CAPTION, IDC_KIBAN_OK, IDC_KIBAN_RETURN,
                 IDC_KIBAN_STOP}) {
    view_->ApplyTextFont(id);
  }
  view_->SetCaption(t.title);
  image_caption_ = t.image_caption;
  log_caption_ = t.log_caption;
  view_->SetText(IDC_KIBAN_OK, "OK");
  view_->SetText(IDC_KIBAN_RETURN, t.close);
  view_->SetText(IDC_KIBAN_STOP, t.stop);
  PushTexts();
}

bool CKibanDlg::OnInitDialog(DialogView& view) {
  view_ = &view;
  image_caption_ = view.GetText(IDC_KIBAN_IMAGE_CAPTION);
  log_caption_ = view.GetText(IDC_KIBAN_LOG_CAPTION);
  view.SetIcon(IDI_Z4UTILITY);
  ApplyTexts();
  view.Enable(IDC_KIBAN_OK, false);
  view.Enable(IDC_KIBAN_RETURN, false);
  view.Enable(IDC_KIBAN_STOP, true);
  if (SharedState::GetDeviceFound() != 1) {
    Finished();
    return true;
  }
  SharedState::SetJobText(BoardInspectionJobText() + "End:\r\n");
  DeleteDeviceFile(ports_, kDeleteJob);
  DeleteDeviceFile(ports_, kDeleteSettings);
  DeleteDeviceFile(ports_, kDeleteEndMarker);
  DeleteDeviceFile(ports_, kDeleteLevelData);
  DeleteDeviceFile(ports_, kDeleteFlush);
  const JobFileResult job = WriteJobFile(ports_);
  if (job.status == 0) TransferFile(ports_, "Z4.JOB", job.path, TransferMode::Deliver);
  phase_ = 0;
  image_shown_ = false;
  log_shown_ = false;
  // Started even when the job could not be delivered: stop ends the wait.
  view.StartTimer(TIMER_KIBAN, 100);
  return true;
}

void CKibanDlg::Finished() {
  view_->Enable(IDC_KIBAN_OK, true);
  view_->Enable(IDC_KIBAN_RETURN, true);
  view_->Enable(IDC_KIBAN_STOP, false);
}

void CKibanDlg::OnTimer(int id) {
  if (id != TIMER_KIBAN) return;
  if (phase_ == 0) {
    if (DeviceFileReady(ports_, kKindEndMarker) == 0) {
      DeleteDeviceFile(ports_, kDeleteJob);
      DeleteDeviceFile(ports_, kDeleteEndMarker);
      DeleteDeviceFile(ports_, kDeleteFlush);
      phase_ = 1;
    } else if (BoardGone()) {
      // Nothing more can come: the window ends as a fetch that found nothing.
      Evaluate();
    }
    return;
  }
  Evaluate();
}

void CKibanDlg::Evaluate() {
  // A log beside the end marker means the test failed, whatever else is there.
  const bool log = DeviceFileReady(ports_, kKindLog) == 0;
  view_->StopTimer(TIMER_KIBAN);
  if (!log) {
    if (FetchCapturedImage()) {
      if (ImageControl* images = view_->Imaging()) ShowImageFile(*images, backup_image_path_);
      image_shown_ = true;
    }
  } else {
    ShowLog();
    log_shown_ = true;
  }
  Finished();
  view_->SetFocus(IDC_KIBAN_OK);
}

std::string CKibanDlg::FindCapturedImage() {
  if (SharedState::GetDeviceFound() != 1 || BoardGone()) return {};
  const bool tiff = SharedState::GetDeviceSettings().FileFormat == 1;
  // A folder named like an image is passed over: it can never be copied.
  const auto names =
      ports_.files.FindRegularFiles(DeviceFilePath(tiff ? "QXR\\MB*.tif" : "QXR\\MB*.png"));
  return names ? NewestCapture(*names) : std::string();
}

bool CKibanDlg::FetchCapturedImage() {
  const std::string name = FindCapturedImage();
  if (name.empty()) return false;
  if (!EnsureFolder(ports_.files, kSaveFolderRoot)) return false;
  const std::string device = DeviceFilePath("QXR\\" + name);
  const std::string local = BackupFolderPath(ports_.system) + "\\" + name;
  DriveErrorDialogsOff quiet(ports_.system);
  for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
    if (ports_.files.CopyReplacing(device, local)) {
      backup_image_path_ = local;
      device_image_path_ = device;
      return true;
    }
    // A board that holds its image open is still there; one that has gone
    // ends the attempts.
    if (BoardGoneAfterFailure(ports_, device)) return false;
    ports_.clock.Pause(kFetchPauseMs);
  }
  return false;
}

void CKibanDlg::ShowLog() {
  log_text_.clear();
  const TransferResult fetched = TransferFile(ports_, "Z4.LOG", "", TransferMode::Fetch);
  if (fetched.status == 0) {
    // Only the start of a long log is read: the rest would stall the window.
    if (const auto start = ports_.files.ReadFileStart(fetched.path, kLogShownLimit)) {
      log_text_ =
          ShownLogText(start->bytes, start->whole, SharedState::GetLanguageFlag(), ports_.system);
    }
  }
  PushTexts();
}

void CKibanDlg::OnCommand(int id, int /*code*/) {
  switch (id) {
    case IDC_KIBAN_OK:
      AcknowledgeOrSave();
      break;
    case IDC_KIBAN_RETURN:
      view_->EndDialog(kResultOk);
      break;
    case IDC_KIBAN_STOP:
      Stop();
      break;
    default:
      break;
  }
}

void CKibanDlg::AcknowledgeOrSave() {
  if (log_shown_ && DeviceFileReady(ports_, kKindLog) == 0) {
    ports_.files.Delete(DeviceFilePath("Z4.LOG"));
    ports_.clock.Pause(kLogDeletePauseMs);
  }
  if (image_shown_) SaveImage();
}

void CKibanDlg::SaveImage() {
  CFileNameDlg name_dialog;
  view_->RunModal(IDD_FILENAME, name_dialog);
  const bool tiff = SharedState::GetDeviceSettings().FileFormat == 1;
  SaveFileRequest request;
  request.default_extension = tiff ? "tif" : "png";
  request.filter = tiff ? "tif(*.tif)|*.tif|" : "png(*.png)|*.png|";
  request.default_name = SharedState::GetEnteredFileName() + (tiff ? ".tif" : ".png");
  request.initial_folder = SharedState::GetSaveFolder();
  request.hide_read_only = true;
  request.ask_before_replacing = true;
  request.folder_must_exist = true;
  const auto chosen = view_->Dialogs().ChooseSaveFile(request);
  // Only the proposed name is saved: it carries the board's number.
  if (!chosen || NameOf(*chosen) != request.default_name) return;
  if (OwnFileOf(ports_.system, ports_.files.FullPath(*chosen)) == OwnFile::WorkingFolder) {
    // The working folder is emptied at every start and end of the program: a
    // copy there would be lost with the board's own.
    view_->ShowMessage(SaveFailedText(SharedState::GetLanguageFlag(), *chosen),
                       SharedState::GetLanguageFlag() == 0 ? kJapanese.title : kEnglish.title);
    view_->SetFocus(IDC_KIBAN_RETURN);
    return;
  }

  bool copied = false;
  for (int attempt = 0; attempt < kCopyAttempts && !copied; ++attempt) {
    copied = ports_.files.CopyReplacing(backup_image_path_, *chosen);
  }
  SharedState::SetSaveFolder(FolderOf(*chosen));
  if (copied) {
    // The board's image goes only once the copy is safely saved, and never
    // when the copy was saved over the board's image itself.
    if (!SamePath(ports_.files, *chosen, device_image_path_)) {
      ports_.files.Delete(device_image_path_);
    }
  } else {
    view_->ShowMessage(SaveFailedText(SharedState::GetLanguageFlag(), *chosen),
                       SharedState::GetLanguageFlag() == 0 ? kJapanese.title : kEnglish.title);
  }
  view_->SetFocus(IDC_KIBAN_RETURN);
}

void CKibanDlg::Stop() {
  view_->StopTimer(TIMER_KIBAN);
  if (DeviceFileReady(ports_, kKindJob) == 0) {
    ports_.files.Delete(DeviceFilePath("Z4.JOB"));
    ports_.clock.Pause(kLogDeletePauseMs);
  }
  Finished();
}

void CKibanDlg::OnDestroy() {
  view_->Enable(IDC_KIBAN_STOP, false);
  view_->Enable(IDC_KIBAN_OK, false);
  view_->Enable(IDC_KIBAN_RETURN, false);
  view_->SetCursor(CursorShape::Wait);
  ports_.clock.Pause(kClosePauseMs);
  view_->SetCursor(CursorShape::Arrow);
  if (ImageControl* images = view_->Imaging()) ReleaseDisplayedImage(*images);
}

}  // namespace z4
