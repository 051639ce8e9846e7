"""The pre-commit hook of .pre-commit-hooks.yaml, and the `repo: local`
configuration that README.md shows, run by pre-commit itself in a new
repository with a baseline: on `git commit` staged files with known
violations pass and a new violation stops the commit; over the whole tree
(`pre-commit run --all-files`) the output holds each new violation once and
nothing of the checker's own lines."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

import support

HOOKS_FILE = os.path.join(support.SOURCE_DIR, ".pre-commit-hooks.yaml")
README = os.path.join(support.SOURCE_DIR, "README.md")


def local_configuration():
    """The `repo: local` block of the README's pre-commit paragraph."""
    with open(README, encoding="utf-8") as source:
        blocks = re.findall(r"^```yaml\n(.*?)^```$", source.read(), re.MULTILINE | re.DOTALL)
    local = [block for block in blocks if "- repo: local" in block]
    assert len(local) == 1, local
    return local[0]


@unittest.skipUnless(shutil.which("pre-commit") and support.GATE, "pre-commit or the gate is missing")
class PreCommitTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="skerry-precommit-")
        bin_dir = os.path.join(self.home, "bin")
        os.makedirs(bin_dir)
        os.symlink(support.GATE, os.path.join(bin_dir, "skerry-lint-gate"))
        os.symlink(support.CHECKER, os.path.join(bin_dir, "Skerry_Lint"))
        self.env = dict(support.GIT_ENV, HOME=self.home, PRE_COMMIT_HOME=os.path.join(self.home, "cache"),
                        PATH=bin_dir + os.pathsep + os.environ["PATH"])
        self.env.pop("SKERRY_LINT", None)
        # The hooks repository: the hook definition of this working tree.
        self.hooks = os.path.join(self.home, "hooks")
        os.makedirs(self.hooks)
        shutil.copy(HOOKS_FILE, self.hooks)
        self.git(self.hooks, "init", "-q")
        self.git(self.hooks, "add", "-A")
        self.git(self.hooks, "commit", "-q", "-m", "hooks")
        self.git(self.hooks, "tag", "v1.0")

    def tearDown(self):
        shutil.rmtree(self.home, ignore_errors=True)

    def git(self, root, *args):
        return subprocess.run(["git", *args], cwd=root, env=self.env, check=True, capture_output=True).stdout.decode()

    def project(self, configuration, files):
        """A new repository with files, their baseline and the hook installed."""
        project = tempfile.mkdtemp(prefix="project-", dir=self.home)
        for name, content in files.items():
            support.write(project, name, content)
        support.write(project, ".pre-commit-config.yaml", configuration)
        code, _, err = support.run(["skerry-lint-gate", "--write-baseline", "skerry-lint.baseline", "."],
                                   cwd=project, env=self.env)
        self.assertEqual(code, 0, err)
        self.git(project, "init", "-q")
        self.git(project, "add", "-A")
        self.git(project, "commit", "-q", "-m", "start")
        code, _, err = support.run(["pre-commit", "install"], cwd=project, env=self.env)
        self.assertEqual(code, 0, err)
        return project

    def configurations(self):
        """(name, .pre-commit-config.yaml): the remote form at a tag, and the README's local one."""
        return [("remote", "repos:\n"
                           "  - repo: %s\n"
                           "    rev: v1.0\n"
                           "    hooks:\n"
                           "      - id: skerry-lint\n"
                           "        args: [--baseline, skerry-lint.baseline]\n" % self.hooks),
                ("local", local_configuration())]

    def test_commit_passes_known_and_stops_new_violations(self):
        # (what is staged: file -> content, the commit goes through, text in
        # the hook's output)
        cases = [
            ({"src/Led.c": "void Led_Init(void);\nvoid a1(void);\n"}, True, "Passed"),
            ({"notes.txt": "void b1(void);\n"}, True, "(no files to check)Skipped"),
            ({"src/Pump.h": "void b1(void);\n"}, False, "src/Pump.h(1): error style: b1 does not fit"),
            ({"src/Pump.c": "void Pump_Init(void);\nvoid b2(void);\n"}, False, "src/Pump.c(2): error style: b2"),
        ]
        for name, configuration in self.configurations():
            project = self.project(configuration, {"src/Led.c": "void a1(void);\n"})
            for files, passes, note in cases:
                with self.subTest(configuration=name, files=files):
                    for path, content in files.items():
                        support.write(project, path, content)
                    self.git(project, "add", *files)
                    commit = subprocess.run(["git", "commit", "-m", "change"], cwd=project, env=self.env,
                                            capture_output=True, timeout=120)
                    log = commit.stdout.decode() + commit.stderr.decode()
                    self.assertEqual(commit.returncode == 0, passes, log)
                    self.assertIn("Skerry_Lint naming check", log)
                    self.assertIn(note, log)
                    if not passes:
                        self.git(project, "reset", "-q", "--hard")
                        self.git(project, "clean", "-q", "-f", "-d")

    def test_whole_tree_shows_each_new_violation_once_and_nothing_else(self):
        # 60 files in 6 folders, all known; then one new violation in 3 of them.
        files = {"src/m%d/Mod%d.c" % (number % 6, number): "void x%d(void);\n" % number for number in range(60)}
        new = {"src/m0/Mod0.c": 2, "src/m3/Mod33.c": 2, "src/m5/Mod59.c": 2}
        for name, configuration in self.configurations():
            project = self.project(configuration, files)
            for path in new:
                with open(os.path.join(project, path), "a", encoding="utf-8") as out:
                    out.write("void y(void);\n")
            with self.subTest(configuration=name):
                done = subprocess.run(["pre-commit", "run", "--all-files"], cwd=project, env=self.env,
                                      capture_output=True, timeout=120)
                log = done.stdout.decode() + done.stderr.decode()
                self.assertEqual(done.returncode, 1, log)
                self.assertEqual(sorted(support.diagnostic_lines(log)),
                                 sorted("%s(%d): error style: y does not fit: ^%s[_][A-Za-z0-9_#]+$"
                                        % (path, line, os.path.basename(path)[:-2]) for path, line in new.items()))
                for text in ("BUILD:", "Searching for rule violations", "Reading File", "Operation Finsh"):
                    self.assertNotIn(text, log)
                self.assertIn("Failed", log)


if __name__ == "__main__":
    unittest.main()
