// z4sim: the Z-4 board emulated on a folder. See UsageText for the options.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "sim/board.h"
#include "sim/capture_seed.h"
#include "sim/command_line.h"
#include "sim/disk_files.h"
#include "sim/disk_storage.h"
#include "sim/file_records.h"
#include "sim/program_arguments.h"

namespace {

void Complain(const std::string& text) {
  std::fprintf(stderr, "z4sim: %s\n", text.c_str());
}

std::filesystem::path PathOrEmpty(const std::string& utf8) {
  return utf8.empty() ? std::filesystem::path() : std::filesystem::u8path(utf8);
}

int Run(z4::sim::CommandLine line) {
  using z4::sim::Board;
  const std::filesystem::path root = std::filesystem::u8path(line.root);
  std::error_code error;
  if (!std::filesystem::is_directory(root, error)) {
    Complain("no such folder: " + line.root);
    return 2;
  }
  if (!line.levels.empty()) {
    line.board.level_file = z4::sim::disk::ReadWhole(std::filesystem::u8path(line.levels));
    if (!line.board.level_file) {
      Complain("cannot read the level file " + line.levels);
      return 2;
    }
  }
  if (!line.board_log.empty()) {
    line.board.self_test_log = z4::sim::disk::ReadWhole(std::filesystem::u8path(line.board_log));
    if (!line.board.self_test_log) {
      Complain("cannot read the log file " + line.board_log);
      return 2;
    }
  }
  z4::sim::DiskStorage storage(root);
  if (!line.qxr.empty()) {
    const std::string seeded =
        z4::sim::SeedCaptureFolder(storage, std::filesystem::u8path(line.qxr));
    if (!seeded.empty()) {
      Complain("--qxr " + line.qxr + ": " + seeded);
      return 2;
    }
  }
  z4::sim::FileRecords records(PathOrEmpty(line.state), PathOrEmpty(line.journal));
  Board board(storage, records, line.board);
  if (!board.state_error().empty()) {
    Complain("state file " + line.state + ": " + board.state_error());
    return 2;
  }
  std::size_t problems_told = 0;
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    board.Step(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    for (; problems_told < board.problems().size(); ++problems_told) {
      Complain(board.problems()[problems_told]);
    }
    if (line.exit_after_jobs > 0 && board.finished_jobs() >= line.exit_after_jobs && board.idle()) {
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(line.poll_ms));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto read = z4::sim::ReadCommandLine(z4::sim::ProgramArguments(argc, argv));
  if (read.line.help) {
    std::fputs(z4::sim::UsageText().c_str(), stdout);
    return 0;
  }
  if (!read.error.empty()) {
    Complain(read.error + " (see --help)");
    return 2;
  }
  return Run(read.line);
}
