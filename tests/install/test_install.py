"""cmake --install puts the checker, its manual page and the contrib/ tools in
place and they run from there; the manual page renders without warnings; the
Debian package holds the same files and declares its dependencies."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD_DIR = os.environ["SKERRY_BUILD_DIR"]
CMAKE = os.environ["CMAKE_COMMAND"]
CPACK = os.environ["CPACK_COMMAND"]

# Paths below the prefix that an installation must hold.
INSTALLED = [
    "bin/Skerry_Lint",
    "bin/skerry-lint-gate",
    "bin/skerry-lint-sarif",
    "share/man/man1/Skerry_Lint.1",
    "share/skerry-lint/github/skerry-lint-problem-matcher.json",
    "share/skerry-lint/vscode/tasks.json",
    "share/skerry-lint/vim/compiler/skerry_lint.vim",
    "share/doc/skerry-lint/README.md",
    "share/doc/skerry-lint/CHANGELOG.md",
]
PROGRAMS = ["bin/Skerry_Lint", "bin/skerry-lint-gate", "bin/skerry-lint-sarif"]


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=240, **options)


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="skerry-install-")
        self.tree = os.path.join(self.work, "tree")
        os.makedirs(self.tree)
        with open(os.path.join(self.tree, "Led.c"), "w", encoding="utf-8") as source:
            source.write("uint8 ucCount;\nvoid Led_Init(void);\n")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def check_installed_tree(self, prefix):
        """The files are there, and the installed programs work together."""
        for relative in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(prefix, relative)), relative)
        for relative in PROGRAMS:
            self.assertTrue(os.access(os.path.join(prefix, relative), os.X_OK), relative)
        env = dict(os.environ, PATH=os.path.join(prefix, "bin") + os.pathsep + os.environ["PATH"])
        env.pop("SKERRY_LINT", None)
        diagnostic = "./Led.c(1): error style: ucCount does not fit: ^Led[_]uc[A-Za-z0-9_#]+$\n"
        checker = run(["Skerry_Lint", "."], cwd=self.tree, env=env)
        self.assertEqual(checker.returncode, 0)
        self.assertTrue(checker.stdout.startswith("Skerry_Lint version 1.0 from "), checker.stdout)
        self.assertTrue(checker.stdout.endswith("\n\n" + diagnostic + "Operation Finsh\n"), checker.stdout)
        # The gate finds the installed checker on PATH.
        gate = run(["skerry-lint-gate", "."], cwd=self.tree, env=env)
        self.assertEqual((gate.returncode, gate.stdout), (1, checker.stdout))
        sarif = run(["skerry-lint-sarif"], input=checker.stdout, env=env)
        self.assertEqual(sarif.returncode, 0, sarif.stderr)
        self.assertIn('"startLine": 1', sarif.stdout)

    def test_install_into_prefix(self):
        prefix = os.path.join(self.work, "prefix")
        installed = run([CMAKE, "--install", BUILD_DIR, "--prefix", prefix])
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        self.check_installed_tree(prefix)

        page = os.path.join(prefix, "share/man/man1/Skerry_Lint.1")
        env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
        rendered = run(["man", "--warnings=w", "-l", page], env=env)  # w: every groff warning
        self.assertEqual((rendered.returncode, rendered.stderr), (0, ""))
        for heading in ["NAME", "SYNOPSIS", "DESCRIPTION", "OUTPUT", "EXIT STATUS", "NAMING CONVENTION",
                        "LIMITATIONS", "EXAMPLES", "SEE ALSO"]:
            self.assertIn("\n" + heading + "\n", rendered.stdout)
        self.assertIn("Skerry_Lint [path]", rendered.stdout)

    def test_debian_package(self):
        output = os.path.join(self.work, "package")
        packed = run([CPACK, "-G", "DEB", "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"), "-B", output])
        self.assertEqual(packed.returncode, 0, packed.stdout + packed.stderr)
        packages = glob.glob(os.path.join(output, "*.deb"))
        self.assertEqual(len(packages), 1, os.listdir(output))
        package = packages[0]
        self.assertRegex(os.path.basename(package), r"^skerry-lint_1\.0_[a-z0-9]+\.deb$")

        fields = run(["dpkg-deb", "--field", package, "Package", "Version", "Depends"]).stdout
        self.assertIn("Package: skerry-lint\n", fields)
        self.assertIn("Version: 1.0\n", fields)
        depends = fields.split("Depends:", 1)[1]
        for library in ["libboost-filesystem", "libpcre2-8", "libstdc++6", "libc6", "python3"]:
            self.assertIn(library, depends)

        root = os.path.join(self.work, "root")
        extracted = run(["dpkg-deb", "-x", package, root])
        self.assertEqual(extracted.returncode, 0, extracted.stderr)
        self.check_installed_tree(os.path.join(root, "usr"))


if __name__ == "__main__":
    unittest.main()
