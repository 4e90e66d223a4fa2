"""The check that keeps includes pointing down the program's floors."""
import importlib.util
import os
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
_spec = importlib.util.spec_from_file_location("check_layers",
                                               os.path.join(SCRIPTS, "check-layers.py"))
check_layers = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(check_layers)


class Layers(unittest.TestCase):
    def tree(self, files):
        root = tempfile.TemporaryDirectory()
        self.addCleanup(root.cleanup)
        for path, text in files.items():
            full = os.path.join(root.name, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        return root.name

    def test_includes_against_the_order_are_named_with_file_and_line(self):
        root = self.tree({
            "core/decimal.cpp": '#include "core/decimal.h"\n#include <string>\n',
            "device/file_exchange.cpp": '#include "core/ports.h"\n\n#include "app/startup.h"\n',
            "platform/win32/main.cpp": '#include "platform/clock.h"\n#include "core/ports.h"\n',
            "jobs/job_start.cpp": '#include "settings/settings_file.h"\n',
            "viewers/kiban_dlg.cpp": '#include "kiban_dlg.h"\n#include "sim/board.h"\n',
            "tests/unit/x_test.cpp": '#include "app/startup.h"\n',  # tests are free
        })
        problems, files, _ = check_layers.check(root)
        self.assertEqual(files, 5)
        self.assertEqual(problems, [
            'device/file_exchange.cpp:3: #include "app/startup.h": device/ may not use app/',
            'jobs/job_start.cpp:1: #include "settings/settings_file.h": jobs/ may not use settings/',
            'platform/win32/main.cpp:2: #include "core/ports.h": platform/win32/ may not use core/',
            'viewers/kiban_dlg.cpp:1: #include "kiban_dlg.h" names no folder',
            'viewers/kiban_dlg.cpp:2: #include "sim/board.h" is in no floor of the program',
        ])

    def test_windows_code_only_in_win32_files_and_batch_below_the_windows(self):
        only_win32 = "only platform/win32/ and files named *_win32.* may include it"
        root = self.tree({
            "app/startup.cpp": '#include "imaging/image_control_win32.h"\n#include <batch/run.h>\n',
            "batch/batch_run.cpp": '#include <panels/settings_panel.h>\n#include "viewers/a.h"\n',
            "core/decimal.cpp": '#include <windows.h>\n#include "imaging/png_check.h"\n',
            "imaging/gdiplus_win32.cpp": '#include <windows.h>\n#include "platform/win32/x.h"\n',
            "imaging/sequences.cpp": '#include <CommCtrl.h>\n#include "platform/win32/x.h"\n',
            "platform/win32/handles.h": '#include <windows.h>\n#include <shellapi.h>\n',
        })
        self.assertEqual(check_layers.check(root)[0], [
            'app/startup.cpp:1: #include "imaging/image_control_win32.h": ' + only_win32,
            'batch/batch_run.cpp:1: #include <panels/settings_panel.h>: batch/ may not use panels/',
            'batch/batch_run.cpp:2: #include "viewers/a.h": batch/ may not use viewers/',
            'core/decimal.cpp:1: #include <windows.h>: ' + only_win32,
            'core/decimal.cpp:2: #include "imaging/png_check.h": core/ may not use imaging/',
            'imaging/sequences.cpp:1: #include <CommCtrl.h>: ' + only_win32,
            'imaging/sequences.cpp:2: #include "platform/win32/x.h": ' + only_win32,
        ])

    def test_the_deepest_floor_of_a_path_counts(self):
        self.assertEqual(check_layers.floor_of("platform/win32/handles.h"), "platform/win32")
        self.assertEqual(check_layers.floor_of("platform/clock.h"), "platform")
        self.assertIsNone(check_layers.floor_of("platformer/x.h"))

    def test_the_table_has_no_cycle_and_a_cycle_is_found(self):
        self.assertIsNone(check_layers.cycle_in_table())
        saved = check_layers.LAYERS["core"]
        check_layers.LAYERS["core"] = saved + ["app"]
        try:
            self.assertIsNotNone(check_layers.cycle_in_table())
        finally:
            check_layers.LAYERS["core"] = saved

    def test_the_project_itself_follows_the_order(self):
        problems, files, _ = check_layers.check(os.path.join(SCRIPTS, ".."))
        self.assertEqual(problems, [])
        self.assertGreater(files, 100)


if __name__ == "__main__":
    unittest.main()
