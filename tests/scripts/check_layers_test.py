#!/usr/bin/env python3
"""The include-order check refuses an include against the order, naming file and line, and passes our tree."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CHECK = os.path.join(ROOT, "scripts", "check-layers")


def run(src):
    return subprocess.run([sys.executable, CHECK, src], capture_output=True, text=True)


def tree(files):
    top = tempfile.mkdtemp()
    for path, text in files.items():
        full = os.path.join(top, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)
    return top


class LayerCheck(unittest.TestCase):
    def test_our_tree_keeps_the_order(self):
        result = run(os.path.join(ROOT, "src"))
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_an_upward_include_is_refused_with_file_and_line(self):
        src = tree({"core/Helpers.cpp": '#include "Helpers.h"\n\n#include "board/CardOpener.h"\n'})
        result = run(src)
        self.assertEqual(result.returncode, 1)
        self.assertIn(os.path.join(src, "core", "Helpers.cpp") + ":3:", result.stderr)
        self.assertIn("core may not include board", result.stderr)

    def test_each_floor_may_include_every_floor_below_and_none_above(self):
        order = ["platform", "core", "richtext", "dialogs", "stats", "export", "editors", "board", "app"]
        down, up = {}, {}
        for i, lower in enumerate(order):
            for upper in order[i + 1:]:
                down[f"{upper}/From{lower}.cpp"] = f'#include "{lower}/B.h"\n'
                up[f"{lower}/From{upper}.cpp"] = f'#include "{upper}/B.h"\n'
        allowed = run(tree(down))
        self.assertEqual(allowed.returncode, 0, allowed.stderr)
        refused = run(tree(up))
        self.assertEqual(refused.returncode, 1)
        self.assertEqual(refused.stderr.count("may not include"), len(up), refused.stderr)

    def test_the_plugin_stands_apart(self):
        self.assertEqual(run(tree({"deskbridge/M.cpp": '#include "platform/ModuleInterface.h"\n'})).returncode, 0)
        self.assertEqual(run(tree({"deskbridge/M.cpp": '#include "core/Helpers.h"\n'})).returncode, 1)
        self.assertEqual(run(tree({"app/main.cpp": '#include "deskbridge/Updater.h"\n'})).returncode, 1)

    def test_a_system_header_and_a_nested_platform_folder_are_not_floors(self):
        src = tree({"platform/store/A.cpp": '#include "platform/archive/B.h"\n#include <QtCore/QString>\n',
                    "core/A.cpp": '#include "gtest/gtest.h"\n'})
        self.assertEqual(run(src).returncode, 0)


if __name__ == "__main__":
    unittest.main()
