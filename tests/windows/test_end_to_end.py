"""The Windows checker under wine against the Linux expectations: every
example of README.md, and trees run through both checkers, compared after
translation (line ends, separators) with the order of a folder's entries
left aside. Every run's output must end its lines in CR LF."""

import os
import shutil
import unittest

import wine

# Trees that the Linux checker's own tests check one behaviour each with,
# here for the two checkers side by side.
EDGE_TREE = {
    "crlf/Crlf.c": b"uint8 Crlf_ucA;\r\nuint8 bad;\r\n",
    "ctrlz/Stop.c": b"uint8 Stop_ucA;\nuint8 early;\x1auint8 late;\n",
    "nolf/Last.c": b"uint8 Last_ucA;\nuint8 lastLine;",
    "empty/Empty.c": b"",
    "bom/Bom.c": b"\xef\xbb\xbfuint8 bom;\n",
    "only/.c": b"uint8 x;\n",
    "only/.h": b"typedef uint8 Only_t;\n",
    "src.c/Inner.c": b"uint8 Inner_ucA;\n",
    "skip/x.cpp": b"uint8 x;\n",
    "skip/Makefile": b"all:\n",
    "a&b/Amp.c": b"uint8 amp;\n",
    "blank name/Led Driver.c": b"uint8 ucA;\n",
    "pair/LedDriver.h": b"typedef uint8 LedDriver_Level_t;\nextern uint8 badName;\n",
    "pair/LedDriver.c": b"LedDriver_Level_t level;\nuint8 LedDriver_ucCount;\n",
    "header/Alone.h": b"#define alone 1\n",
    "deep/a/b/c/d/e/Deep.c": b"sint16 Deep_snA;\nvoid Deep_fnGo(uint8 step);\n",
    "long/Long.c": b"uint8 " + b"x" * 100000 + b";\n",
    "CAN_Bus.c": b"uint8 CAN_ucBuf[4];\n",
}


def readme_examples():
    """(README line, {name: content}, args or None, exit code, expected
    text) of every output and transcript marker, as ReadmeExamplesTest
    reads them."""
    with open(os.path.join(wine.SOURCE_DIR, "README.md"), encoding="utf-8") as readme:
        lines = readme.read().split("\n")
    examples, pending, marker, marker_line, i = [], {}, "", 0, 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("<!-- "):
            marker, marker_line = line, i + 1
        elif line.startswith("```"):
            end = i + 1
            while end < len(lines) and lines[end] != "```":
                end += 1
            block = lines[i + 1:end]
            i = end
            if marker.startswith("<!-- file: "):
                pending[marker[len("<!-- file: "):-len(" -->")]] = "".join(b + "\n" for b in block)
            elif marker == "<!-- output -->":
                examples.append((marker_line, pending, None, 0, "".join(b + "\n" for b in block)))
                pending = {}
            elif marker == "<!-- transcript -->":
                exit_code = 0
                if len(block) >= 2 and block[-2] == "$ echo $?":
                    exit_code, block = int(block[-1]), block[:-2]
                args = block[0][2:].split()[1:]
                examples.append((marker_line, pending, args, exit_code, "".join(b + "\n" for b in block[1:])))
                pending = {}
            marker = ""
        elif line:
            marker = ""
        i += 1
    return examples


def diagnostic_lines(output):
    """The lines between the empty line after the progress lines and the closing line."""
    start = output.find(b"\n\n") + 2
    return output[start:len(output) - len(b"Operation Finsh\n")]


class ReadmeExamplesTest(unittest.TestCase):
    def test_every_example_draws_what_the_readme_shows(self):
        examples = readme_examples()
        self.assertGreater(len(examples), 5)
        for line, files, args, exit_code, expected in examples:
            with self.subTest(readme_line=line):
                tree = wine.Tree(files)
                try:
                    if args is None:
                        drawn = b""
                        for name in files:
                            code, out, _ = wine.run_windows([name], tree.root)
                            self.assertEqual(code, 0)
                            self.assertTrue(wine.lines_end_in_crlf(out))
                            drawn += diagnostic_lines(wine.to_linux_form(out))
                        self.assertEqual(drawn.decode("utf-8"), expected)
                    else:
                        code, out, _ = wine.run_windows(args, tree.root)
                        self.assertTrue(wine.lines_end_in_crlf(out))
                        self.assertEqual(code, exit_code)
                        self.assertEqual(wine.canonical(wine.to_linux_form(out)),
                                         wine.canonical(expected.encode("utf-8")))
                finally:
                    tree.remove()


@unittest.skipUnless(wine.LINUX_CHECKER and os.access(wine.LINUX_CHECKER, os.X_OK),
                     "no Linux checker to compare with (configure with -DSKERRY_LINUX_CHECKER=...)")
class SameAsLinuxTest(unittest.TestCase):
    def compare(self, cwd, args):
        windows_code, windows_out, windows_err = wine.run_windows(args, cwd)
        linux_code, linux_out, _ = wine.run_linux(args, cwd)
        self.assertEqual(windows_err, b"")
        self.assertEqual(windows_code, linux_code)
        self.assertTrue(wine.lines_end_in_crlf(windows_out))
        self.assertEqual(wine.canonical(wine.to_linux_form(windows_out)), wine.canonical(linux_out))

    def test_trees(self):
        tree = wine.Tree({"edge/" + name: content for name, content in EDGE_TREE.items()})
        try:
            shutil.copytree(os.path.join(wine.SOURCE_DIR, "examples"), tree.path("examples"))
            shutil.copytree(os.path.join(wine.SOURCE_DIR, "fuzz", "corpus"), tree.path("corpus"))
            # Fuzzer inputs under names the checker examines.
            for folder, _, names in os.walk(tree.path("corpus")):
                for name in names:
                    os.rename(os.path.join(folder, name), os.path.join(folder, name.replace(".", "_") + ".c"))
            for args in (["edge"], ["examples"], ["corpus"], ["edge/pair"], ["edge/pair/LedDriver.c"],
                         ["edge/only/.c"], ["edge/skip/x.cpp"], ["no such dir"], [""], ["one", "two", "edge/crlf"]):
                with self.subTest(args=args):
                    self.compare(tree.root, args)
            with self.subTest(args="none, in a folder"):
                # The current folder as root shows as an absolute path, which
                # differs between the systems: compared below the search line.
                _, windows_out, _ = wine.run_windows([], tree.path("edge"))
                _, linux_out, _ = wine.run_linux([], tree.path("edge"))
                windows_form = wine.canonical(wine.to_linux_form(windows_out))
                linux_form = wine.canonical(linux_out)
                self.assertEqual(windows_form[1], linux_form[1])
                self.assertEqual(len(windows_form[2]), len(linux_form[2]))
        finally:
            tree.remove()

    def test_large_tree(self):
        # A real source tree, when one is at hand (bench/run unpacks Linux's):
        # many files, so the worker threads start, check and end many times.
        large = os.environ.get("SKERRY_WINDOWS_LARGE_TREE", "/var/tmp/skerry-bench/linux-source-6.1/lib")
        if not os.path.isdir(large):
            self.skipTest("no large tree at " + large)
        self.compare(os.path.dirname(large), [os.path.basename(large)])


if __name__ == "__main__":
    unittest.main()
