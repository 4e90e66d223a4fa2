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
