"""cmake --install puts the checker, the contrib/ commands with their shared
module, the manual pages and the Vim plugin in place, and they run from
there; every command has a manual page that renders without warnings; Vim
finds the plugin in the package's location; the Debian package holds the
same files, declares its dependencies and passes lintian without errors."""

import glob
import json
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD_DIR = os.environ["SKERRY_BUILD_DIR"]
CMAKE = os.environ["CMAKE_COMMAND"]
CPACK = os.environ["CPACK_COMMAND"]

# Paths below the prefix that an installation must hold; every command in
# bin/ also needs share/man/man1/COMMAND.1.gz.
INSTALLED = [
    "share/skerry-lint/python/skerry_lint_output.py",
    "share/skerry-lint/github/skerry-lint-problem-matcher.json",
    "share/skerry-lint/vscode/tasks.json",
    "share/skerry-lint/vscode/skerry-lint-lsp/package.json",
    "share/skerry-lint/vscode/skerry-lint-lsp/extension.js",
    "share/vim/vimfiles/compiler/skerry_lint.vim",
    "share/doc/skerry-lint/README.md",
    "share/doc/skerry-lint/CHANGELOG.md",
    "share/doc/skerry-lint/copyright",
    "share/doc/skerry-lint/changelog.gz",
]
PROGRAMS = ["Skerry_Lint", "skerry-lint-gate", "skerry-lint-sarif", "skerry-lint-codequality", "skerry-lint-lsp"]


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
        commands = sorted(os.listdir(os.path.join(prefix, "bin")))
        self.assertLessEqual(set(PROGRAMS), set(commands))
        for command in commands:
            self.assertTrue(os.access(os.path.join(prefix, "bin", command), os.X_OK), command)
            self.assertTrue(os.path.isfile(os.path.join(prefix, "share/man/man1", command + ".1.gz")), command)
        env = dict(os.environ, PATH=os.path.join(prefix, "bin") + os.pathsep + os.environ["PATH"])
        env.pop("SKERRY_LINT", None)
        diagnostic = "./Led.c(1): error style: ucCount does not fit: ^Led[_]uc[A-Za-z0-9_#]+$\n"
        checker = run(["Skerry_Lint", "."], cwd=self.tree, env=env)
        self.assertEqual(checker.returncode, 0)
        self.assertTrue(checker.stdout.startswith("Skerry_Lint version 1.0 from "), checker.stdout)
        self.assertTrue(checker.stdout.endswith("\n\n" + diagnostic + "Operation Finsh\n"), checker.stdout)
        # The gate finds the installed checker on PATH, the converters their
        # module below the prefix.
        gate = run(["skerry-lint-gate", "."], cwd=self.tree, env=env)
        self.assertEqual((gate.returncode, gate.stdout), (1, checker.stdout))
        for command, expected in [("skerry-lint-sarif", '"startLine": 1'),
                                  ("skerry-lint-codequality", '"path": "Led.c", "lines": {"begin": 1}')]:
            converted = run([command], input=checker.stdout, env=env)
            self.assertEqual(converted.returncode, 0, converted.stderr)
            self.assertIn(expected, converted.stdout)
        # The installed language server answers a client and publishes the
        # same finding for the file's text.
        uri = "file://" + os.path.join(self.tree, "Led.c")
        with open(os.path.join(self.tree, "Led.c"), encoding="utf-8") as source:
            text = source.read()
        messages = [{"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}},
                    {"jsonrpc": "2.0", "method": "textDocument/didOpen",
                     "params": {"textDocument": {"uri": uri, "languageId": "c", "version": 3, "text": text}}},
                    {"jsonrpc": "2.0", "id": 2, "method": "shutdown"}]
        framed = "".join("Content-Length: %d\r\n\r\n%s" % (len(body), body)
                         for body in (json.dumps(message) for message in messages))
        server = subprocess.Popen(["skerry-lint-lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
        server.stdin.write(framed.encode())
        server.stdin.flush()
        received = b""
        while b"publishDiagnostics" not in received:
            chunk = server.stdout.read1(65536)
            if not chunk:
                break
            received += chunk
        server.stdin.write(b'Content-Length: 33\r\n\r\n{"jsonrpc":"2.0","method":"exit"}')
        server.stdin.close()
        received += server.stdout.read()
        self.assertEqual(server.wait(timeout=60), 0)
        self.assertIn(b'"version":3', received)
        self.assertIn(b"ucCount does not fit: ^Led[_]uc[A-Za-z0-9_#]+$", received)

    def check_vim_plugin(self, vimfiles, prefix):
        """Vim with the package's vimfiles folder in its runtime path:
        :compiler skerry_lint and :make fill the quickfix list."""
        result = os.path.join(self.work, "quickfix.txt")
        env = dict(os.environ, PATH=os.path.join(prefix, "bin") + os.pathsep + os.environ["PATH"])
        entries = "map(getqflist(), {_, e -> bufname(e.bufnr) . '|' . e.lnum . '|' . e.text})"
        # Blanks in the folder are escaped for :set; the error file is named,
        # as Vim leaves its temporary name (below TMPDIR) unquoted in the
        # command it runs.
        folder = vimfiles.replace(" ", "\\ ")
        vim = run(["vim", "-Nu", "NONE", "-i", "NONE", "-es", "--cmd", "set rtp^=" + folder,
                   "--cmd", "set makeef=quickfix.err",
                   "-c", "compiler skerry_lint", "-c", "silent make .",
                   "-c", "call writefile(%s, '%s')" % (entries, result), "-c", "qa!"], cwd=self.tree, env=env)
        self.assertEqual(vim.returncode, 0, vim.stdout + vim.stderr)
        with open(result, encoding="utf-8") as quickfix:
            self.assertEqual(quickfix.read(), "./Led.c|1|ucCount does not fit: ^Led[_]uc[A-Za-z0-9_#]+$\n")

    def test_install_into_prefix(self):
        prefix = os.path.join(self.work, "prefix")
        installed = run([CMAKE, "--install", BUILD_DIR, "--prefix", prefix])
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        self.check_installed_tree(prefix)

        self.check_vim_plugin(os.path.join(prefix, "share/vim/vimfiles"), prefix)

        env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80", MANROFFSEQ="")
        for page in glob.glob(os.path.join(prefix, "share/man/man1/*.1.gz")):
            with self.subTest(page=os.path.basename(page)):
                rendered = run(["man", "--warnings=w", "-E", "UTF-8", "-l", page], env=env)  # w: every warning
                self.assertEqual((rendered.returncode, rendered.stderr), (0, ""))
                self.assertIn("\nSYNOPSIS\n", rendered.stdout)
        rendered = run(["man", "-l", os.path.join(prefix, "share/man/man1/Skerry_Lint.1.gz")], env=env)
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
        self.assertTrue(os.path.isfile(os.path.join(root, "usr/share/vim/vimfiles/compiler/skerry_lint.vim")))

        # Errors fail; warnings and informational tags are allowed.
        # Its caches go to the work folder, removed with it.
        lintian = run(["lintian", "--tag-display-limit", "0", package], env=dict(os.environ, TMPDIR=self.work))
        errors = [line for line in lintian.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [], lintian.stdout + lintian.stderr)
        self.assertIn(lintian.returncode, (0, 1), lintian.stderr)
        maintainer = run(["dpkg-deb", "--field", package, "Maintainer"]).stdout.strip()
        self.assertRegex(maintainer, r"^[^<>]+ <[^@<>]+@[^@<>]+\.[a-z]+>$")


if __name__ == "__main__":
    unittest.main()
