"""The pre-commit hook of .pre-commit-hooks.yaml, run by pre-commit itself on
`git commit` in a new repository that uses it with a baseline: staged files
with known violations pass, a new violation stops the commit."""

import os
import shutil
import subprocess
import tempfile
import unittest

import support

HOOKS_FILE = os.path.join(support.SOURCE_DIR, ".pre-commit-hooks.yaml")


@unittest.skipUnless(shutil.which("pre-commit"), "pre-commit is not installed")
class PreCommitTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="skerry-precommit-")
        bin_dir = os.path.join(self.home, "bin")
        os.makedirs(bin_dir)
        os.symlink(os.path.join(support.CONTRIB, "skerry-lint-gate"), os.path.join(bin_dir, "skerry-lint-gate"))
        self.env = dict(support.GIT_ENV, HOME=self.home, PRE_COMMIT_HOME=os.path.join(self.home, "cache"),
                        SKERRY_LINT=support.CHECKER, PATH=bin_dir + os.pathsep + os.environ["PATH"])
        # The hooks repository: the hook definition of this working tree.
        hooks = os.path.join(self.home, "hooks")
        os.makedirs(hooks)
        shutil.copy(HOOKS_FILE, hooks)
        self.git(hooks, "init", "-q")
        self.git(hooks, "add", "-A")
        self.git(hooks, "commit", "-q", "-m", "hooks")
        revision = self.git(hooks, "rev-parse", "HEAD").strip()
        # The project: one file with a violation, recorded in the baseline.
        self.project = os.path.join(self.home, "project")
        support.write(self.project, "src/Led.c", "void a1(void);\n")
        support.write(self.project, ".pre-commit-config.yaml", (
            "repos:\n"
            "  - repo: %s\n"
            "    rev: %s\n"
            "    hooks:\n"
            "      - id: skerry-lint\n"
            "        args: [--baseline, skerry-lint.baseline]\n" % (hooks, revision)))
        code, _, err = support.run(["skerry-lint-gate", "--write-baseline", "skerry-lint.baseline", "src"],
                                   cwd=self.project, env=self.env)
        self.assertEqual(code, 0, err)
        self.git(self.project, "init", "-q")
        self.git(self.project, "add", "-A")
        self.git(self.project, "commit", "-q", "-m", "start")
        code, _, err = support.run(["pre-commit", "install"], cwd=self.project, env=self.env)
        self.assertEqual(code, 0, err)

    def tearDown(self):
        shutil.rmtree(self.home, ignore_errors=True)

    def git(self, root, *args):
        return subprocess.run(["git", *args], cwd=root, env=self.env, check=True, capture_output=True).stdout.decode()

    def test_commit_passes_known_and_stops_new_violations(self):
        # (what is staged: file -> content, the commit goes through, text in
        # the hook's output)
        cases = [
            ({"src/Led.c": "void Led_Init(void);\nvoid a1(void);\n"}, True, "Passed"),
            ({"notes.txt": "void b1(void);\n"}, True, "(no files to check)Skipped"),
            ({"src/Pump.h": "void b1(void);\n"}, False, "src/Pump.h(1): error style: b1 does not fit"),
            ({"src/Pump.c": "void Pump_Init(void);\nvoid b2(void);\n"}, False, "src/Pump.c(2): error style: b2"),
        ]
        for files, passes, note in cases:
            with self.subTest(files=files):
                for name, content in files.items():
                    support.write(self.project, name, content)
                self.git(self.project, "add", *files)
                commit = subprocess.run(["git", "commit", "-m", "change"], cwd=self.project, env=self.env,
                                        capture_output=True, timeout=120)
                log = commit.stdout.decode() + commit.stderr.decode()
                self.assertEqual(commit.returncode == 0, passes, log)
                self.assertIn("Skerry_Lint naming check", log)
                self.assertIn(note, log)
                if not passes:
                    self.git(self.project, "reset", "-q", "--hard")
                    self.git(self.project, "clean", "-q", "-f", "-d")


if __name__ == "__main__":
    unittest.main()
