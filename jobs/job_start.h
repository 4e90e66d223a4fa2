// Starting a job: the board's old exchange files go, the job file is written
// into the backup folder, and the main window's job timer starts.
#pragma once

#include "core/ports.h"
#include "jobs/job_file.h"
#include "platform/dialog_view.h"

namespace z4 {

// 0 when the job was started (JobRunning set, timer 1 running on the main
// window), 1 when nothing was started (no board, nothing to do, a job file
// that could not be written, or a board that went away while its old
// exchange files were being cleared).
int StartJob(Ports& ports, DialogView& main_window, const JobRequest& request);

// StartJob without the main window's timer, for a caller that waits for the
// job itself.
int BeginJob(Ports& ports, const JobRequest& request);

// The request of the settings read job ("SetDataOut:") or write job ("SetDataIn:").
JobRequest SettingsJobRequest(bool write);

}  // namespace z4
