"""The shell examples of README.md (the blocks marked <!-- shell -->) run as
they stand, in order, in one git repository that holds the sample tree as
src/: every one of them completes with exit code 0, so the README cannot
drift from what the tools do."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

import support

README = os.path.join(support.SOURCE_DIR, "README.md")
SHELL_BLOCK = re.compile(r"^<!-- shell -->\n```sh\n(.*?)^```$", re.MULTILINE | re.DOTALL)
# Sections whose every sh block is a shell example.
SECTIONS = ["## Adopting on an existing code base", "## HTML report"]


def readme():
    with open(README, encoding="utf-8") as source:
        return source.read()


class ReadmeShellTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="skerry-readme-")
        self.repo = os.path.join(self.work, "repo")
        shutil.copytree(os.path.join(support.SOURCE_DIR, "examples"), os.path.join(self.repo, "src"))
        bin_dir = os.path.join(self.work, "bin")
        os.makedirs(bin_dir)
        os.symlink(support.CHECKER, os.path.join(bin_dir, "Skerry_Lint"))
        os.symlink(support.GATE, os.path.join(bin_dir, "skerry-lint-gate"))
        self.env = dict(os.environ, PATH=os.pathsep.join([bin_dir, support.CONTRIB, os.environ["PATH"]]),
                        HOME=self.work, GIT_CONFIG_NOSYSTEM="1",
                        GIT_AUTHOR_NAME="t", GIT_AUTHOR_EMAIL="t@example.org",
                        GIT_COMMITTER_NAME="t", GIT_COMMITTER_EMAIL="t@example.org")
        self.env.pop("SKERRY_LINT", None)
        for command in (["git", "init", "-q", "-b", "main"], ["git", "add", "."], ["git", "commit", "-qm", "Sample"],
                        ["git", "update-ref", "refs/remotes/origin/main", "HEAD"]):
            subprocess.run(command, cwd=self.repo, env=self.env, check=True, capture_output=True)

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def test_every_sh_block_of_the_adoption_sections_is_run(self):
        text = readme()
        for title in SECTIONS:
            start = text.index(title + "\n")
            end = text.find("\n## ", start + 1)
            section = text[start:end]
            with self.subTest(section=title):
                self.assertGreater(section.count("```sh\n"), 0)
                self.assertEqual(section.count("```sh\n"), section.count("<!-- shell -->\n```sh\n"))

    def test_shell_examples_complete(self):
        blocks = SHELL_BLOCK.findall(readme())
        self.assertGreaterEqual(len(blocks), 5)
        for block in blocks:
            with self.subTest(block=block.splitlines()[0]):
                done = subprocess.run(["bash", "-e", "-c", block], cwd=self.repo, env=self.env,
                                      capture_output=True, timeout=120)
                self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        # What the examples promise to leave behind.
        for name in ["skerry-lint.baseline", "skerry-lint.sarif", "naming.html"]:
            self.assertTrue(os.path.getsize(os.path.join(self.repo, name)) > 0, name)


if __name__ == "__main__":
    unittest.main()
