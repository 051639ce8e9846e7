"""Behaviour of the Windows checker that the Linux one does not have, under
wine: roots with drives, entry paths with backslashes, upper-case .C and .H
on a file system that ignores case, path texts in the ANSI code page, the
banner however the program is started, link cycles, and files and folders
that cannot be read."""

import os
import shutil
import subprocess
import unittest

import wine

# A file-scope variable whose name lacks the module's prefix, before a
# function (a file's last lines are not file scope without one).
MODULE = b"uint8 ucBad;\nvoid Init(void);\n"


def completed(output):
    """The progress part and the diagnostics of a completed run, with LF line ends."""
    text = output.replace(b"\r\n", b"\n")
    assert text.endswith(b"Operation Finsh\n"), text
    return text


def search_line(output):
    return [line for line in output.replace(b"\r\n", b"\n").split(b"\n")
            if line.startswith(b"Searching for rule violations in : ")][0]


def diagnostic_paths(output):
    return sorted({line.split(b"(")[0] for line in output.replace(b"\r\n", b"\n").split(b"\n")
                   if b"): error style: " in line})


class Roots(unittest.TestCase):
    """Entry paths are the root as given and the entry's name, joined by a
    backslash where the root does not end in a separator or a drive colon."""

    def setUp(self):
        self.tree = wine.Tree({"tree/Top.c": MODULE, "tree/sub/Inner.c": MODULE})

    def tearDown(self):
        self.tree.remove()

    def test_roots(self):
        absolute = "Z:" + self.tree.root.replace("/", "\\")
        cases = [
            # (current folder below the tree, argument, expected search root, expected paths)
            ("", "tree", b"tree", [b"tree\\Top.c", b"tree\\sub\\Inner.c"]),
            ("", "tree\\", b"tree\\", [b"tree\\Top.c", b"tree\\sub\\Inner.c"]),
            ("", "tree/", b"tree/", [b"tree/Top.c", b"tree/sub\\Inner.c"]),
            ("", "tree/sub", b"tree/sub", [b"tree/sub\\Inner.c"]),
            ("tree", ".", b".", [b".\\Top.c", b".\\sub\\Inner.c"]),
            ("tree/sub", "..", b"..", [b"..\\Top.c", b"..\\sub\\Inner.c"]),
            ("", absolute + "\\tree", absolute.encode() + b"\\tree",
             [absolute.encode() + b"\\tree\\Top.c", absolute.encode() + b"\\tree\\sub\\Inner.c"]),
            ("", absolute + "\\tree\\", absolute.encode() + b"\\tree\\",
             [absolute.encode() + b"\\tree\\Top.c", absolute.encode() + b"\\tree\\sub\\Inner.c"]),
            # A drive without a folder: the drive's current folder.
            ("", "Z:tree", b"Z:tree", [b"Z:tree\\Top.c", b"Z:tree\\sub\\Inner.c"]),
            ("tree", "Z:", b"Z:", [b"Z:Top.c", b"Z:sub\\Inner.c"]),
            ("", "tree\\Top.c", b"tree\\Top.c", [b"tree\\Top.c"]),
        ]
        for folder, argument, root, paths in cases:
            with self.subTest(argument=argument, folder=folder):
                code, out, err = wine.run_windows([argument], os.path.join(self.tree.root, folder))
                self.assertEqual((code, err), (0, b""), out)
                completed(out)
                self.assertEqual(search_line(out), b'Searching for rule violations in : "' + root + b'"')
                self.assertEqual(diagnostic_paths(out), sorted(paths))


class UpperCaseNames(unittest.TestCase):
    """X.C pairs with X.H through the companion text X.h, since the file
    system ignores case; Linux sees no companion there. So the Windows
    checker on X.C and X.H draws what the Linux one draws on X.C and X.h."""

    HEADER = b"typedef sint16 Pair_Offset_t;\n"
    # shift is a declaration only where the header's type is known.
    SOURCE = b"Pair_Offset_t shift;\nvoid Pair_Init(void);\n"

    @unittest.skipUnless(wine.LINUX_CHECKER, "no Linux checker to compare with")
    def test_header_found_whatever_its_case(self):
        windows_tree = wine.Tree({"t/Pair.C": self.SOURCE, "t/Pair.H": self.HEADER})
        linux_tree = wine.Tree({"t/Pair.C": self.SOURCE, "t/Pair.h": self.HEADER})
        try:
            for args in (["t"], ["t/Pair.C"], ["t/Pair.H"]):
                with self.subTest(args=args):
                    code, out, _ = wine.run_windows(args, windows_tree.root)
                    linux_args = [a.replace("Pair.H", "Pair.h") for a in args]
                    linux_code, linux_out, _ = wine.run_linux(linux_args, linux_tree.root)
                    self.assertEqual(code, linux_code)
                    expected = wine.canonical(linux_out.replace(b"Pair.h", b"Pair.H"))
                    self.assertEqual(wine.canonical(wine.to_linux_form(out)), expected)
            # Without the header the type is unknown: the pairing above made the difference.
            _, alone, _ = wine.run_linux(["t/Pair.C"], windows_tree.root)
            self.assertNotEqual(wine.canonical(alone), wine.canonical(wine.to_linux_form(
                wine.run_windows(["t/Pair.C"], windows_tree.root)[1])))
        finally:
            windows_tree.remove()
            linux_tree.remove()


class AnsiCodePage(unittest.TestCase):
    """Path texts are in the ANSI code page (1252 under wine in an English
    or C locale); files are opened by their wide names all the same."""

    def test_names_outside_ascii(self):
        tree = wine.Tree({"Grüße/Grüße.c": MODULE, "Grüße/Δelta.c": MODULE})
        try:
            for argument in ("Grüße", "Grüße\\Grüße.c"):
                with self.subTest(argument=argument):
                    code, out, _ = wine.run_windows([argument], tree.root)
                    self.assertEqual(code, 0)
                    text = completed(out)
                    self.assertIn(b'Reading File : "Gr\xfc\xdfe.c" size: 2 lines\n', text)
                    self.assertIn(b"Gr\xfc\xdfe\\Gr\xfc\xdfe.c(1): error style: ucBad does not fit", text)
                    self.assertIn(b'Searching for rule violations in : "' + argument.encode("cp1252") + b'"', text)
            # A letter the code page lacks: the text shows "?", the file is read.
            _, out, _ = wine.run_windows(["Grüße"], tree.root)
            self.assertIn(b'Reading File : "?elta.c" size: 2 lines\n', completed(out))
        finally:
            tree.remove()


class Banner(unittest.TestCase):
    """The banner comes from the version resource of the program's own file,
    whatever the program was started as."""

    def test_however_started(self):
        tree = wine.Tree({"Good.c": b"uint8 Good_ucA;\n"})
        try:
            folder = os.path.dirname(wine.WINDOWS_CHECKER)
            shutil.copy(wine.WINDOWS_CHECKER, tree.path("renamed.exe"))
            starts = [
                (wine.WINDOWS_CHECKER, folder),
                ("Skerry_Lint.exe", folder),
                ("Skerry_Lint", folder),  # found by wine with .exe added
                ("renamed", tree.root),
                ("Z:" + tree.path("renamed.exe").replace("/", "\\"), "/"),
            ]
            for program, cwd in starts:
                with self.subTest(program=program):
                    code, out, _ = wine.run_windows([tree.path("Good.c")], cwd, program=program)
                    self.assertEqual(code, 0)
                    lines = out.split(b"\r\n")
                    self.assertRegex(lines[0], rb"^Skerry_Lint version \d+\.\d+ from [A-Z][a-z]{2} [ \d]\d \d{4}$")
                    self.assertTrue(lines[1].startswith(b"Copyright"), lines[1])
                    self.assertTrue(lines[2].startswith(b"BUILD: "), lines[2])
        finally:
            tree.remove()


class LinksAndUnreadable(unittest.TestCase):
    def test_link_cycles_are_not_followed(self):
        # Wine shows POSIX symbolic links as reparse points, followed as
        # Windows follows a junction.
        tree = wine.Tree({"t/x/A.c": MODULE, "t/y/B.c": MODULE})
        try:
            os.symlink("../y", tree.path("t/x/toy"))
            os.symlink("../x", tree.path("t/y/tox"))
            os.symlink("..", tree.path("t/y/up"))
            os.symlink("A.c", tree.path("t/x/Linked.c"))
            os.symlink("nowhere.c", tree.path("t/x/Broken.c"))
            code, out, _ = wine.run_windows(["t"], tree.root)
            self.assertEqual(code, 0)
            text = completed(out)
            for cycle in (b"t\\x\\toy\\tox", b"t\\y\\tox\\toy", b"t\\y\\up", b"t\\x\\toy\\up"):
                self.assertIn(b'Link cycle not followed : "' + cycle + b'"\n', text)
            self.assertIn(b"t\\x\\toy\\B.c(1): error style: ucBad", text)
            self.assertIn(b"t\\x\\Linked.c(1): error style: ucBad", text)
            # Wine lists no broken link at all (Windows shows it as a file
            # that cannot be opened).
            self.assertNotIn(b'Reading File : "Broken.c" size', text)
        finally:
            tree.remove()

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv"), "needs root to run wine as another user")
    def test_unreadable_files_and_folders(self):
        # As user nobody (with a wine prefix of its own), so that the
        # permissions apply.
        tree = wine.Tree({"t/Open.c": MODULE, "t/Shut.c": MODULE, "t/closed/Hidden.c": MODULE})
        prefix = wine.Tree()
        try:
            os.chmod(tree.path("t/Shut.c"), 0)
            os.chmod(tree.path("t/closed"), 0)
            for folder, _, _ in os.walk(tree.root):
                os.chmod(folder, 0o777 if not folder.endswith("closed") else 0)
            os.chmod(tree.root, 0o777)
            os.chmod(prefix.root, 0o777)
            shutil.copy(wine.WINDOWS_CHECKER, tree.path("Skerry_Lint.exe"))
            os.chmod(tree.path("Skerry_Lint.exe"), 0o755)
            # The checkout may sit below a folder only its owner can enter.
            shutil.copy(wine.WINE_RUN, tree.path("wine-run"))
            os.chmod(tree.path("wine-run"), 0o755)
            env = dict(os.environ, HOME=prefix.root, SKERRY_WINEPREFIX=os.path.join(prefix.root, "wine"))
            command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", tree.path("wine-run"),
                       tree.path("Skerry_Lint.exe"), "t"]
            run = subprocess.run(command, cwd=tree.root, capture_output=True, timeout=300, env=env)
            self.assertEqual(run.returncode, 0, run.stderr)
            text = completed(run.stdout)
            self.assertIn(b'Reading File : "Open.c" size: 2 lines\n', text)
            # A file that cannot be opened leaves its progress text without a line end.
            self.assertIn(b'Reading File : "Shut.c"', text)
            self.assertNotIn(b'Reading File : "Shut.c" size', text)
            self.assertIn(b'Cannot read directory : "t\\closed" (', text)
            self.assertNotIn(b"Hidden.c", text)
        finally:
            os.chmod(tree.path("t/closed"), 0o755)
            tree.remove()
            subprocess.run(["rm", "-rf", prefix.root])


if __name__ == "__main__":
    unittest.main()
