"""Proof that the simulation finds what matters: each fault below is planted in
turn into a scratch copy of the sources, the simulation is built there and
run from a fresh seed until its first violation or for at most a minute, and
a table says, fault by fault, whether it was found.

  plant_faults.py [--seconds S] [--only N,...]   plant, build, run, print the table
  plant_faults.py --fixed ...                    the same for the defects it found, as
                                                 they were before their fixes
  plant_faults.py --fixed --replay ...           for each fixed defect, replays instead
                                                 the seed the replayed-seeds test keeps
                                                 for it, which must still find it
  plant_faults.py --check                        only check that every fault still
                                                 applies to the sources (quick)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPLAYED = os.path.join(ROOT, "tests", "simulation", "replayed_seeds_test.cpp")

# (fault, file, text in the sources, the text that plants the fault)
FAULTS = [
    ("the adjust-mode Set without its record", "panels/maintenance_panel.cpp",
     "    settings_.WriteJobEnded(true);\n    DeleteDeviceFile(ports_, kDeleteSettings);\n"
     "    if (settings_.StartDueReadBack()) return;\n",
     "    SharedState::SetDeviceSettings(SharedState::GetPendingSettings());\n"
     "    DeleteDeviceFile(ports_, kDeleteSettings);\n"),
    ("pruning by name", "settings/settings_history.cpp",
     "    if (auto key = HistoryOrderKey(name)) listed.push_back({std::move(*key), name});\n",
     "    listed.push_back({name, name});\n"),
    ("a Set logged as done without its read-back", "panels/settings_panel_watch.cpp",
     "  if (finished) {\n    read_back_due_ = true;\n    return;\n  }\n",
     "  if (finished) {\n    set_record_.ReadBack(SharedState::GetBoardFile(), {});\n    return;\n  }\n"),
    ("a delivery without the board-drive check", "device/file_exchange.cpp",
     "  if (IsBoardDrive(ports, drive[0], SharedState::GetDriveOption().empty())) return Delivery::Go;\n",
     "  return Delivery::Go;\n"),
    ("/apply writing after a failed fetch", "batch/settings_apply.cpp",
     "  if (board.status != FetchStatus::Fetched) return ReportOf(OutcomeOf(board.status));\n",
     "  if (false) return ReportOf(OutcomeOf(board.status));\n"),
    ("the two-misses rule cut to one miss", "device/board_gone.h",
     "inline constexpr int kMissesForGone = 2;", "inline constexpr int kMissesForGone = 1;"),
    ("the two-misses rule raised to three", "device/board_gone.h",
     "inline constexpr int kMissesForGone = 2;", "inline constexpr int kMissesForGone = 3;"),
    ("the 500 ms pause after a delete cut to 50", "panels/maintenance_panel.cpp",
     "constexpr unsigned kDeletePauseMs = 500;", "constexpr unsigned kDeletePauseMs = 50;"),
    ("the lock taken as busy on any error", "core/run_lock.cpp",
     "    state_ = error == FileError::InUse ? State::Busy : State::CannotCreate;",
     "    state_ = State::Busy;"),
    ("the lock taken as free on any error", "core/run_lock.cpp",
     "  if (held_) {\n    state_ = State::Held;\n  } else {",
     "  if (true) {\n    state_ = State::Held;\n  } else {"),
    ("a log line written before the board finished", "panels/settings_panel.cpp",
     "      set_record_.Begin(SharedState::GetDeviceSettings(), SharedState::GetPendingSettings());\n",
     "      set_record_.Begin(SharedState::GetDeviceSettings(), SharedState::GetPendingSettings());\n"
     "      set_record_.ReadBack(SharedState::GetBoardFile(), {});\n"),
]


# The defects the simulation found, each planted back as it was before its fix:
# with --fixed they are planted instead, and the seed that finds each is the
# one to keep among the replayed seeds.
FIXED = [
    ("Enter in the status window passed for the board's end marker", "jobs/status_dlg.h",
     "  bool OnOk() override { return true; }", "  bool OnOk() override { return false; }"),
    ("after one missed look, the next single miss ended the program",
     "panels/settings_panel_watch.cpp",
     "        // is a first miss again, not a second.\n        SharedState::SetWatchStep(WatchStep::kFirst);",
     "        // is a first miss again, not a second.\n        SharedState::SetWatchStep(WatchStep::kSecond);"),
    ("a board gone for a moment during a delivery was taken for gone", "device/file_exchange.cpp",
     "  if (ports.files.DriveType(drive + \":\\\\\") == DriveKind::NoRoot) return Delivery::DriveMissing;\n",
     ""),
    ("a write that timed out was logged as not written, though a slow board took it",
     "panels/settings_panel_watch.cpp",
     "  set_record_.Abandoned(\"the board did not finish the write\");",
     "  set_record_.Failed(\"the board did not finish the write\");"),
    ("a run without memory for its log line ended without a word", "batch/batch_run.cpp",
     "        RunRecord{ports.wall_clock.Now(), drive, request.option, file, OutcomeText(report)});\n"
     "  } catch (...) {\n  }\n",
     "        RunRecord{ports.wall_clock.Now(), drive, request.option, file, OutcomeText(report)});\n"
     "  } catch (...) {\n    throw;\n  }\n"),
    ("a job started while the board was gone took an old end marker for its own",
     "jobs/job_start.cpp", "  if (BoardGone()) return 1;\n", ""),
    ("a job file that never reached the board took an old end marker for its own",
     "jobs/status_dlg.cpp", "  if (!delivered) End(kTimedOut);\n",
     "  if (false && !delivered) End(kTimedOut);\n"),
    ("after a write not read back, the next write's before file was stale",
     "panels/settings_panel_watch.cpp", "  if (!known) ForgetBoardFile();\n",
     "  if (false && !known) ForgetBoardFile();\n"),
    ("a miss the watch saw before a job, with one after it, was taken for gone",
     "device/board_gone.cpp", "  SharedState::SetWatchStep(WatchStep::kFirst);\n", ""),
]


def check(root, faults):
    missing = []
    for name, path, old, _ in faults:
        with open(os.path.join(root, path), encoding="utf-8") as f:
            if f.read().count(old) != 1:
                missing.append(f"{name}: the text to change is not once in {path}")
    return missing


def kept_seeds():
    """The replayed-seeds test's rows: {"defect", seed}."""
    with open(REPLAYED, encoding="utf-8") as f:
        return {name: int(seed) for name, seed in re.findall(r'\{"((?:[^"\\]|\\.)*)", (\d+)\}',
                                                           f.read())}


def run(cmd, cwd, log):
    with open(log, "a") as out:
        return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--only", default="")
    parser.add_argument("--fixed", action="store_true")
    parser.add_argument("--replay", action="store_true")
    args = parser.parse_args()
    kept = kept_seeds() if args.replay else {}
    faults = FIXED if args.fixed else FAULTS
    missing = check(ROOT, FAULTS) + check(ROOT, FIXED)
    if missing or args.check:
        for line in missing:
            print("plant-faults:", line)
        if not missing:
            print(f"plant-faults: all {len(FAULTS)} faults and {len(FIXED)} fixed defects apply to "
                  "the sources")
        return 1 if missing else 0

    scratch = tempfile.mkdtemp(prefix="z4-plant-")
    log = os.path.join(scratch, "plant.log")
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           capture_output=True, text=True, check=True).stdout.split()
    src = os.path.join(scratch, "src")
    for name in files:
        if os.path.isfile(os.path.join(ROOT, name)):
            os.makedirs(os.path.dirname(os.path.join(src, name)), exist_ok=True)
            shutil.copy2(os.path.join(ROOT, name), os.path.join(src, name))
    build = os.path.join(scratch, "build")
    generator = ["-G", "Ninja"] if shutil.which("ninja") else []
    if run(["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Release"] + generator, src, log) or \
            run(["cmake", "--build", build, "--target", "z4_simulate"], src, log):
        print(f"plant-faults: the scratch copy does not build, see {log}")
        return 1
    chosen = [int(n) for n in args.only.split(",") if n] or range(1, len(faults) + 1)
    print(f"{'':>3}  {'fault':<46} {'result':<8} {'after':>7}  invariant")
    found_all = True
    for number in chosen:
        name, path, old, new = faults[number - 1]
        target = os.path.join(src, path)
        with open(target, encoding="utf-8") as f:
            original = f.read()
        with open(target, "w", encoding="utf-8") as f:
            f.write(original.replace(old, new, 1))
        try:
            if run(["cmake", "--build", build, "--target", "z4_simulate"], src, log):
                print(f"{number:>3}  {name:<46} {'no build':<8}")
                found_all = False
                continue
            started = time.time()
            if args.replay:
                if name not in kept:
                    print(f"{number:>3}  {name:<46} {'no seed':<8}")
                    found_all = False
                    continue
                how = ["--seed", str(kept[name])]
            else:
                how = ["--seed", str(int(started) % 1000000), "--seconds", str(args.seconds),
                       "--until-violation"]
            out = subprocess.run([os.path.join(build, "z4_simulate")] + how,
                                 capture_output=True, text=True).stdout
            took = time.time() - started
            violation = next((l for l in out.splitlines() if l.startswith("VIOLATION")), "")
            if violation:
                # "VIOLATION seed N (replay: ...), step K: invariant: detail"
                rest = violation.split("), step ", 1)[-1].split(": ")
                replay = violation.split("(replay: ")[-1].split(")")[0]
                print(f"{number:>3}  {name:<46} {'found':<8} {took:>6.1f}s  "
                      f"{rest[1] if len(rest) > 1 else ''} ({replay})")
            else:
                print(f"{number:>3}  {name:<46} {'MISSED':<8} {took:>6.1f}s")
                found_all = False
        finally:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original)
    shutil.rmtree(scratch, ignore_errors=True)
    return 0 if found_all else 1


if __name__ == "__main__":
    sys.exit(main())
