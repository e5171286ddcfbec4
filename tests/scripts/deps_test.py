#!/usr/bin/env python3
"""scripts/deps on systems made for it: a PATH of stand-in programs (dpkg-query, apt-get, sudo, id) and an
os-release of our choosing. It installs only on Debian 12 with apt, says in one line what to do where it cannot,
shows apt's own error, and is quiet when every package is there."""
import os
import shutil
import stat
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DEPS = os.path.join(ROOT, "scripts", "deps")
BASH = shutil.which("bash")
DEBIAN_12 = 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\nID=debian\nVERSION_ID="12"\n'

# Each stand-in writes what it was asked, with the front end apt-get saw, to $LOG.
FAKES = {
    # Installed: the packages named in $INSTALLED ("all" for every one).
    "dpkg-query": 'for p in "$@"; do last=$p; done\n'
                  'case " $INSTALLED " in *" all "*|*" $last "*) printf "install ok installed";; '
                  '*) exit 1;; esac\n',
    "apt-get": 'echo "apt-get $* frontend=${DEBIAN_FRONTEND:-unset}" >>"$LOG"\n'
               'if [ "$1" = install ] && [ -n "${APT_FAILS:-}" ]; then\n'
               '  echo "E: Unable to locate package $APT_FAILS"; exit 100\nfi\n',
    # Like the real one, sudo runs the command in a cleared environment.
    "sudo": 'echo "sudo" >>"$LOG"\nexec env -i PATH="$PATH" LOG="$LOG" APT_FAILS="${APT_FAILS:-}" "$@"\n',
    "id": 'echo "${FAKE_UID:-0}"\n',
}


class Deps(unittest.TestCase):
    def setUp(self):
        self.top = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.top)
        self.bin = os.path.join(self.top, "bin")
        os.mkdir(self.bin)
        for tool in ("env", "grep"):
            os.symlink(shutil.which(tool), os.path.join(self.bin, tool))
        self.log = os.path.join(self.top, "log")
        open(self.log, "w").close()

    def fake(self, *names):
        for name in names:
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\n" + FAKES[name])
            os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)

    def run_deps(self, os_release=DEBIAN_12, installed="", uid=0, apt_fails="", *arguments):
        release = os.path.join(self.top, "os-release")
        with open(release, "w") as f:
            f.write(os_release)
        env = {"PATH": self.bin, "LOG": self.log, "PLOTVANE_OS_RELEASE": release, "INSTALLED": installed,
               "FAKE_UID": str(uid), "APT_FAILS": apt_fails}
        return subprocess.run([BASH, DEPS, *arguments], capture_output=True, text=True, env=env)

    def logged(self):
        with open(self.log) as f:
            return f.read()

    def assert_one_line_and_nothing_installed(self, result, *words):
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
        for word in words:
            self.assertIn(word, result.stderr)
        self.assertEqual(self.logged(), "")

    def test_without_apt_it_names_debian_12_and_every_package_and_installs_nothing(self):
        self.fake("id", "sudo")
        result = self.run_deps()
        self.assert_one_line_and_nothing_installed(result, "Debian 12", "qt6-base-dev", "tzdata")
        self.assertNotIn("googletest", result.stderr)
        tests = self.run_deps(DEBIAN_12, "", 0, "", "--test")
        self.assert_one_line_and_nothing_installed(tests, "Debian 12", "qt6-base-dev", "googletest")

    def test_another_release_names_what_is_missing_and_installs_nothing(self):
        self.fake("dpkg-query", "apt-get", "id")
        for release in ('ID=debian\nVERSION_ID="13"\n', 'ID=ubuntu\nVERSION_ID="22.04"\n', ""):
            result = self.run_deps(release, "cmake")
            self.assert_one_line_and_nothing_installed(result, "Debian 12", "qt6-base-dev")
            self.assertNotIn("cmake", result.stderr)

    def test_quiet_when_everything_is_installed_on_any_system(self):
        self.fake("dpkg-query", "apt-get", "id")
        for release in (DEBIAN_12, 'ID=fedora\nVERSION_ID="40"\n'):
            result = self.run_deps(release, "all", 1000, "", "--test")
            self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))
        self.assertEqual(self.logged(), "")

    def test_not_root_without_sudo_says_to_run_as_root_or_install_sudo(self):
        self.fake("dpkg-query", "apt-get", "id")
        result = self.run_deps(DEBIAN_12, "", 1000)
        self.assert_one_line_and_nothing_installed(result, "root", "sudo")

    def test_through_sudo_apt_is_noninteractive(self):
        self.fake("dpkg-query", "apt-get", "id", "sudo")
        result = self.run_deps(DEBIAN_12, "", 1000)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        lines = self.logged().splitlines()
        self.assertEqual(lines[0], "sudo")
        self.assertEqual(lines[1], "apt-get update -qq frontend=noninteractive")
        self.assertEqual(lines[2], "sudo")
        self.assertTrue(lines[3].startswith("apt-get install -y -qq --no-install-recommends build-essential"))
        self.assertTrue(lines[3].endswith(" frontend=noninteractive"), lines[3])

    def test_a_failing_apt_shows_its_own_error_and_fails(self):
        self.fake("dpkg-query", "apt-get", "id")
        result = self.run_deps(DEBIAN_12, "", 0, "libplist-dev")
        self.assertEqual(result.returncode, 100)
        self.assertIn("E: Unable to locate package libplist-dev", result.stderr)


if __name__ == "__main__":
    unittest.main()
