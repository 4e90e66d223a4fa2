#include "e2e_support.h"

#include <vector>

namespace z4::e2e {

std::wstring Env(const wchar_t* name, const wchar_t* fallback) {
  wchar_t buffer[2048];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 2048);
  if (n == 0 || n >= 2048) return fallback;
  return std::wstring(buffer, n);
}

std::wstring ProgramPath() {
  return Env(L"Z4_E2E_PROGRAM", L"C:\\Z4Test\\Z4Utility.exe");
}

std::wstring ProgramFolder() {
  const std::wstring path = ProgramPath();
  return path.substr(0, path.rfind(L'\\'));
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

Process::~Process() {
  if (info_.hProcess) {
    Kill();
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Process::Start(const std::wstring& exe, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + exe + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_) != 0;
}

bool Process::WaitExit(DWORD ms, DWORD* code) {
  if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
  if (code) GetExitCodeProcess(info_.hProcess, code);
  return true;
}

void Process::Kill() {
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

namespace {

struct Search {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (pid == search->process_id && std::wstring(cls) == L"#32770") search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> DialogsOf(DWORD process_id) {
  Search search{process_id, {}};
  EnumWindows(&CollectDialogs, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindDialogWithControl(DWORD process_id, int control_id) {
  for (HWND dialog : DialogsOf(process_id)) {
    if (IsWindowVisible(dialog) && GetDlgItem(dialog, control_id)) return dialog;
  }
  return nullptr;
}

HWND WaitDialogWithControl(DWORD process_id, int control_id, DWORD ms) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindDialogWithControl(process_id, control_id)) != nullptr; }, ms);
  return found;
}

HWND WaitMainWindowOpened(DWORD process_id, DWORD ms) {
  const DWORD start = GetTickCount();
  HWND window = WaitDialogWithControl(process_id, IDC_SET, ms);
  if (!window) return nullptr;
  const DWORD spent = GetTickCount() - start;
  const bool opened = WaitFor(
      [&] {
        return ComboCount(window, IDC_YEAR_LIST) == 1000 &&
               ComboCount(window, IDC_MONTH_LIST) == 12 && ComboCount(window, IDC_DAY_LIST) == 31 &&
               !ItemText(window, IDC_EXECUTE).empty() &&
               !ItemText(window, IDC_NUMBER_LABEL).empty();
      },
      spent < ms ? ms - spent : 0);
  return opened ? window : nullptr;
}

std::vector<HWND> MessageBoxesOf(DWORD process_id) {
  std::vector<HWND> boxes;
  for (HWND dialog : DialogsOf(process_id)) {
    if (IsWindowVisible(dialog) && GetDlgItem(dialog, 0xFFFF) && GetDlgItem(dialog, IDOK)) {
      boxes.push_back(dialog);
    }
  }
  return boxes;
}

HWND WaitMessageBox(DWORD process_id, DWORD ms) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        const auto boxes = MessageBoxesOf(process_id);
        found = boxes.empty() ? nullptr : boxes.front();
        return found != nullptr;
      },
      ms);
  return found;
}

std::wstring Text(HWND window) {
  if (!window) return L"<no window>";
  // WM_GETTEXT crosses processes; GetWindowText does not.
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  return std::wstring(buffer.data(), copied);
}

std::wstring ItemText(HWND dialog, int id) {
  return Text(GetDlgItem(dialog, id));
}

bool ItemEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

RECT ItemRect(HWND dialog, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  return r;
}

int ComboCount(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

std::wstring ComboItem(HWND dialog, int id, int index) {
  const auto length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return L"<none>";
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), static_cast<size_t>(length));
}

void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace z4::e2e

namespace z4::e2e {

bool EmulatedBoard::Start(const std::string& state, const std::wstring& options) {
  DeleteFileW(StatePath().c_str());
  DeleteFileW(JournalPath().c_str());
  if (!state.empty() && !WriteBytes(StatePath(), state)) return false;
  const std::wstring sim = Env(L"Z4_E2E_SIM");
  if (sim.empty()) return false;
  // The command line is parsed by the board's own program; start it with its
  // arguments through a small command string.
  return process_.Start(sim, L"--root E:\\ --state \"" + StatePath() + L"\" --journal \"" +
                                 JournalPath() + L"\" --poll 20 " + options);
}

std::string EmulatedBoard::State() const {
  std::string lines;
  const std::string text = ReadBytes(StatePath());
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != ';') lines += line + "\n";
    at = end + 1;
  }
  return lines;
}

bool Unplug() {
  // The test runner removes the drive mapping when this file appears.
  const std::wstring request = Env(L"Z4_E2E_UNPLUG");
  if (request.empty() || !WriteBytes(request, "unplug")) return false;
  return WaitFor([] { return GetFileAttributesW(L"E:\\") == INVALID_FILE_ATTRIBUTES; }, 10000);
}

void DragTrackbar(HWND dialog, int id, int pos) {
  HWND trackbar = GetDlgItem(dialog, id);
  SendMessageW(trackbar, TBM_SETPOS, TRUE, pos);
  SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos),
               reinterpret_cast<LPARAM>(trackbar));
}

int TrackbarPos(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

bool Checked(HWND dialog, int id) {
  return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ChooseRadio(HWND dialog, int id, int other) {
  SendDlgItemMessageW(dialog, other, BM_SETCHECK, BST_UNCHECKED, 0);
  SendDlgItemMessageW(dialog, id, BM_SETCHECK, BST_CHECKED, 0);
}

void TypeText(HWND dialog, int id, const std::wstring& text) {
  SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace z4::e2e
