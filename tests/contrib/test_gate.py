"""skerry-lint-gate (the compiled gate), end to end in the workflows of a
team that adopts the convention: its output against the checker's, each file
counted once however the paths overlap, baseline keys that meet whatever the
current folder or argument form, baselines that only shrink, moves through
git, the lines a branch added since its merge base, waivers, exclusions, and
errors found before anything is printed."""

import os
import shutil
import subprocess
import unittest

import support

GATE = support.GATE
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
# What the baseline, changed-lines and move cases check: a tree with a
# folder inside a folder, a file with one message twice, one clean file.
FILES = {
    "src/core/Init.c": "void i1(void);\nvoid i2(void);\n",
    "src/core/Def.c": "void d1(void);\nvoid d2(void);\nvoid d1(void);\n",
    "src/apps/Http.c": "void h1(void);\n",
    "src/apps/Smtp.c": "void s1(void);\n",
    "src/Ok.c": "void Ok_Init(void);\n",
}
TOTAL = 7  # diagnostics of FILES


def gate(root, *args, env=None):
    return support.run([GATE, *args], cwd=root, env=env or support.GIT_ENV)


def located(out):
    """(path, line) of each diagnostic line of an output."""
    found = []
    for line in support.diagnostic_lines(out):
        head = line.split("): error style: ")[0]
        path, number = head.rsplit("(", 1)
        found.append((path, int(number)))
    return found


def summary(path):
    """The summary record of a JSON Lines file: always its last line."""
    last = support.records(path)[-1]
    assert last["kind"] == "summary", last
    return last


def entries(path):
    """The entries of a baseline file (its lines that are not comments)."""
    with open(path, encoding="utf-8") as source:
        return [line for line in source.read().splitlines() if line and not line.startswith("#")]


@unittest.skipUnless(GATE, "SKERRY_GATE_BINARY is not set")
class OutputTest(unittest.TestCase):
    def setUp(self):
        self.tree = support.Tree()
        self.root = self.tree.root

    def tearDown(self):
        self.tree.remove()

    def test_one_path_without_filters_is_the_checker(self):
        # (arguments, exit code)
        cases = [(["ok"], 0), (["."], 1), (["v(2)/Led.c"], 1), (["a&b/CAN_Bus.c"], 1)]
        for args, expected in cases:
            with self.subTest(args=args):
                code, out, err = gate(self.root, *args)
                self.assertEqual(code, expected, err)
                self.assertEqual(out, support.checker_output(self.root, args))

    def test_several_paths_one_header_one_closing_line(self):
        code, out, err = gate(self.root, "ok", "a&b/CAN_Bus.c", "v(2)")
        self.assertEqual(code, 1, err)
        self.assertEqual([out.count(text) for text in ("BUILD:", "Searching for rule violations in", "Operation Finsh")],
                         [1, 3, 1])
        self.assertTrue(out.endswith("Operation Finsh\n"))
        self.assertEqual(located(out), [("a&b/CAN_Bus.c", n) for n in range(4)] + [("v(2)/Led.c", 1)])
        self.assertRegex(err, r"\b5 (new )?naming violation\(s\)")

    def test_quiet_prints_what_is_left_and_one_summary_line(self):
        # (arguments, diagnostic lines on standard output, lines on standard error)
        cases = [(["."], len(support.DIAGNOSTICS), 1), (["ok"], 0, 0)]
        for args, lines, summaries in cases:
            with self.subTest(args=args):
                code, out, err = gate(self.root, "--quiet", *args)
                self.assertEqual(code, 1 if lines else 0, err)
                self.assertEqual(out, "".join(line + "\n" for line in support.diagnostic_lines(
                    support.checker_output(self.root, args))))
                self.assertEqual(len(err.splitlines()), summaries, err)

    def test_json_lines_hold_every_diagnostic_with_its_status(self):
        support.write(self.root, "w/Waived.c", "void w1(void); /* skerry-lint: allow */\nvoid w2(void);\n")
        code, out, err = gate(self.root, "--exclude", "v(2)", "--jsonl", "out.jsonl", ".")
        self.assertEqual(code, 1, err)
        records = support.records(os.path.join(self.root, "out.jsonl"))
        diagnostics = [r for r in records if r["kind"] == "diagnostic"]
        self.assertEqual([(r["path"], r["line"]) for r in diagnostics if r["status"] == "new"], located(out))
        self.assertEqual([(r["key"], r["line"], r["status"]) for r in diagnostics if r["status"] != "new"],
                         [("w/Waived.c", 1, "waived")])
        self.assertEqual([r["path"] for r in records if r["kind"] == "excluded"], ["./v(2)"])
        self.assertEqual(records[-1], {"kind": "summary", "completed": True, "new": len(located(out)), "known": 0,
                                       "waived": 1, "outside": 0, "excluded": 1, "stale": 0})


@unittest.skipUnless(GATE, "SKERRY_GATE_BINARY is not set")
class BaselineTest(unittest.TestCase):
    """A baseline of the whole tree, written at its top."""

    def setUp(self):
        self.tree = support.git_tree(FILES)
        self.root = self.tree.root
        code, _, err = gate(self.root, "--write-baseline", "base.txt", ".")
        self.assertEqual(code, 0, err)
        self.baseline = os.path.join(self.root, "base.txt")

    def tearDown(self):
        self.tree.remove()

    def run_gate(self, folder, *args):
        """The gate run in folder with the baseline and --jsonl: (exit
        code, standard output, standard error, summary record)."""
        jsonl = os.path.join(self.root, "out.jsonl")
        code, out, err = gate(os.path.join(self.root, folder), "--baseline", self.baseline, "--jsonl", jsonl, *args)
        return code, out, err, summary(jsonl)

    def test_each_file_once_and_keys_that_meet(self):
        root = self.root
        # (folder run from, arguments, violations known)
        cases = [
            (".", ["src/core/Init.c", "."], TOTAL),
            (".", [".", "src/core/Init.c"], TOTAL),
            (".", ["src/core", "src", "src/core/Def.c", "./src/core/"], TOTAL),
            (".", [root + "/src/core"], 5),
            (".", [root], TOTAL),
            ("src/core", ["."], 5),
            ("src", ["../src/apps", "core/Init.c"], 4),
            ("src/apps", [os.path.join(root, "src", "core", "Def.c")], 3),
        ]
        for folder, args, known in cases:
            with self.subTest(folder=folder, args=args):
                code, out, err, counts = self.run_gate(folder, *args)
                self.assertEqual((code, counts["new"], counts["known"]), (0, 0, known), out + err)
                self.assertEqual(located(out), [])

    def test_unquoted_exclude_expanded_by_the_shell(self):
        # The shell turns src/apps/** into the files below src/apps: the first
        # is the pattern, the others paths inside the tree checked anyway.
        jsonl = os.path.join(self.root, "out.jsonl")
        done = subprocess.run(["bash", "-c", '"$0" --baseline base.txt --jsonl out.jsonl --exclude src/apps/** .', GATE],
                              cwd=self.root, capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        counts = summary(jsonl)
        self.assertEqual((counts["new"], counts["known"]), (0, TOTAL - 1))

    def test_baseline_life_cycle(self):
        # Sorted by path, then message; one entry per path and message with its count.
        self.assertEqual(entries(self.baseline), [
            "1\tsrc/apps/Http.c\th1 does not fit: ^Http[_][A-Za-z0-9_#]+$",
            "1\tsrc/apps/Smtp.c\ts1 does not fit: ^Smtp[_][A-Za-z0-9_#]+$",
            "2\tsrc/core/Def.c\td1 does not fit: ^Def[_][A-Za-z0-9_#]+$",
            "1\tsrc/core/Def.c\td2 does not fit: ^Def[_][A-Za-z0-9_#]+$",
            "1\tsrc/core/Init.c\ti1 does not fit: ^Init[_][A-Za-z0-9_#]+$",
            "1\tsrc/core/Init.c\ti2 does not fit: ^Init[_][A-Za-z0-9_#]+$",
        ])
        # (step, files written before it, exit code, diagnostics printed, new, known, stale)
        steps = [
            ("unchanged", {}, 0, [], 0, TOTAL, 0),
            ("line inserted above", {"src/core/Init.c": "void Init_Ok(void);\nvoid i1(void);\nvoid i2(void);\n"},
             0, [], 0, TOTAL, 0),
            ("one more of a known message: the later one is new",
             {"src/core/Def.c": "void d1(void);\nvoid d2(void);\nvoid d1(void);\nvoid d1(void);\n"},
             1, [("./src/core/Def.c", 4)], 1, TOTAL, 0),
            ("fixed: stale", {"src/core/Def.c": "void d1(void);\nvoid d2(void);\n", "src/apps/Smtp.c": ""},
             0, [], 0, TOTAL - 2, 2),
        ]
        for step, files, expected_code, printed, new, known, stale in steps:
            with self.subTest(step=step):
                for name, content in files.items():
                    support.write(self.root, name, content)
                code, out, err, counts = self.run_gate(".", ".")
                self.assertEqual((code, located(out)), (expected_code, printed), err)
                self.assertEqual((counts["new"], counts["known"], counts["stale"]), (new, known, stale))
                self.assertEqual("stale" in err, stale > 0, err)
                if known:
                    self.assertIn("%d known" % known, err)

    def test_update_drops_fixed_entries_and_never_adds(self):
        before = entries(self.baseline)
        # d1 once less, Smtp.c fixed, a new violation in Http.c.
        support.write(self.root, "src/core/Def.c", "void d1(void);\nvoid d2(void);\n")
        support.write(self.root, "src/apps/Smtp.c", "void Smtp_Ok(void);\n")
        support.write(self.root, "src/apps/Http.c", "void h1(void);\nvoid h9(void);\n")
        expected = [line.replace("2\tsrc/core/Def.c\td1", "1\tsrc/core/Def.c\td1") for line in before
                    if "Smtp.c" not in line]
        for run in ("first", "again"):
            with self.subTest(run=run):
                code, out, err = gate(self.root, "--update-baseline", "base.txt", ".")
                self.assertEqual((code, located(out)), (1, [("./src/apps/Http.c", 2)]), err)
                self.assertEqual(entries(self.baseline), expected)
        # --write-baseline writes the whole state, the new one too.
        code, _, err = gate(self.root, "--write-baseline", "base.txt", ".")
        self.assertEqual(code, 0, err)
        self.assertEqual(len(entries(self.baseline)), len(expected) + 1)

    def test_a_moved_file_keeps_its_known_violations(self):
        support.git(self.root, "add", "base.txt")
        support.git(self.root, "commit", "-q", "-m", "baseline")
        # (step, git command, commit after it)
        steps = [("staged", ["mv", "src/core/Def.c", "src/core/util/Def.c"], False),
                 ("committed", ["mv", "src/apps/Http.c", "src/net/Http.c"], True)]
        for step, command, commit in steps:
            with self.subTest(step=step):
                os.makedirs(os.path.join(self.root, os.path.dirname(command[-1])))
                support.git(self.root, *command)
                if commit:
                    support.git(self.root, "commit", "-q", "-m", step)
                code, out, err, counts = self.run_gate(".", ".")
                self.assertEqual((code, counts["new"], counts["known"], counts["stale"]), (0, 0, TOTAL, 0), out + err)

    def test_a_move_without_git_is_new_and_stale(self):
        shutil.rmtree(os.path.join(self.root, ".git"))
        os.makedirs(os.path.join(self.root, "src/util"))
        os.rename(os.path.join(self.root, "src/core/Def.c"), os.path.join(self.root, "src/util/Def.c"))
        code, _, err, counts = self.run_gate(".", ".")
        self.assertEqual((code, counts["new"], counts["known"], counts["stale"]), (1, 3, TOTAL - 3, 3), err)

    def test_a_baseline_of_the_python_gate_is_read_unchanged(self):
        # data/old-gate.baseline: written by the Python gate of contrib/
        # (--write-baseline old.baseline . on support.TREE and the files below).
        files = dict(support.TREE, **{"odd/back\\slash.c": "uint8 ucA;\n",
                                      "twice/Pump.c": "void p1(void);\nvoid Pump_Ok(void);\nvoid p1(void);\n"})
        tree = support.Tree(files)
        self.addCleanup(tree.remove)
        shutil.copy(os.path.join(DATA, "old-gate.baseline"), os.path.join(tree.root, "old.baseline"))
        code, out, err = gate(tree.root, "--baseline", "old.baseline", "--jsonl", "out.jsonl", ".")
        counts = summary(os.path.join(tree.root, "out.jsonl"))
        self.assertEqual((code, counts["new"], counts["known"], counts["stale"]), (0, 0, 11, 0), out + err)
        code, _, err = gate(tree.root, "--write-baseline", "new.baseline", ".")
        self.assertEqual(code, 0, err)
        self.assertEqual(entries(os.path.join(tree.root, "new.baseline")),
                         entries(os.path.join(DATA, "old-gate.baseline")))


@unittest.skipUnless(GATE, "SKERRY_GATE_BINARY is not set")
class ChangedLinesTest(unittest.TestCase):
    def setUp(self):
        self.tree = support.git_tree({
            "src/Led.c": "void a1(void);\nvoid a2(void);\n",
            "src/Old.c": "void r1(void);\n",
            ".gitignore": "ignored/\n",
        })
        self.root = self.tree.root
        support.git(self.root, "branch", "-M", "main")

    def tearDown(self):
        self.tree.remove()

    def test_only_lines_added_since_the_merge_base(self):
        root = self.root
        # main fixes a1 after the branch left it; the branch adds b1 and
        # works on in the tree: staged, unstaged, untracked, a rename.
        support.git(root, "checkout", "-q", "-b", "topic")
        support.git(root, "checkout", "-q", "main")
        support.write(root, "src/Led.c", "void Led_Ok(void);\nvoid a2(void);\n")
        support.git(root, "commit", "-q", "-am", "fix a1")
        support.git(root, "checkout", "-q", "topic")
        support.write(root, "src/Pump.c", "void Pump_Ok(void);\nvoid b1(void);\n")
        support.git(root, "add", "src/Pump.c")
        support.git(root, "commit", "-q", "-m", "b1")
        support.write(root, "src/Led.c", "void a1(void);\nvoid a3(void);\nvoid a2(void);\n")
        support.git(root, "mv", "src/Old.c", "src/new name.c")
        support.write(root, "dir b/Fresh.c", "void f1(void);\n")
        support.write(root, "ignored/Skip.c", "void s1(void);\n")
        added = [("./src/new name.c", 0), ("./src/Pump.c", 2), ("./src/Led.c", 2), ("./dir b/Fresh.c", 1)]
        # (folder run from, arguments, diagnostics printed)
        cases = [
            (".", ["--changed-since", "main", "."], added),
            (".", ["--changed-since", "main...HEAD", "."], added),
            ("src", ["--changed-since", "main", "."], [("./new name.c", 0), ("./Pump.c", 2), ("./Led.c", 2)]),
            (".", ["--changed-since", "main", "src/Led.c", "ignored"], [("src/Led.c", 2)]),
        ]
        for folder, args, expected in cases:
            with self.subTest(folder=folder, args=args):
                code, out, err = gate(os.path.join(root, folder), *args)
                self.assertEqual(code, 1, err)
                self.assertEqual(sorted(located(out)), sorted(expected))

    def test_errors(self):
        outside = support.Tree({"Led.c": "void a1(void);\n"})
        self.addCleanup(outside.remove)
        # (folder run from, arguments, text on standard error)
        cases = [
            (self.root, ["--changed-since", "no-such-ref", "."], "no-such-ref"),
            (self.root, ["--changed-since", "main", outside.root], outside.root),
            (outside.root, ["--changed-since", "HEAD", "."], "git"),
        ]
        for folder, args, note in cases:
            with self.subTest(args=args):
                code, out, err = gate(folder, *args)
                self.assertEqual(code, 2, err)
                self.assertEqual(located(out), [])
                self.assertIn(note, err)


@unittest.skipUnless(GATE, "SKERRY_GATE_BINARY is not set")
class FiltersTest(unittest.TestCase):
    def setUp(self):
        self.tree = support.Tree({"v/Led.c": "void a1(void);\nvoid a2(void);\n", "w/Pump.c": "void p1(void);\n"})
        self.root = self.tree.root

    def tearDown(self):
        self.tree.remove()

    def test_waivers(self):
        files = {
            "Led.c": "void w1(void); /* skerry-lint: allow */\nvoid w2(void); // skerry-lint: allowed\n",
            "Gen.c": "/* skerry-lint: allow-next-line */\nvoid g1(void);\nvoid g2(void);\n",
            "bad name.c": "void n1(void); /* skerry-lint: allow-file-name */\n",
            "other name.c": "void o1(void); /* skerry-lint: allow */\n",
        }
        for name, content in files.items():
            support.write(self.root, name, content)
        code, out, err = gate(self.root, "Led.c", "Gen.c", "bad name.c", "other name.c")
        self.assertEqual(code, 1)
        self.assertEqual(located(out), [("Led.c", 2), ("Gen.c", 3), ("bad name.c", 1), ("other name.c", 0)])
        self.assertIn("4 waived", err)

    def test_exclusions_are_not_read(self):
        for name in ["src/Led.c", "src/Conf.h", "src/third_party/Inner.c", "third_party/lib/Vend.c"]:
            support.write(self.root, name, "void x1(void);\n")
        everything = {"./src/Led.c", "./src/Conf.h", "./src/third_party/Inner.c", "./third_party/lib/Vend.c",
                      "./v/Led.c", "./w/Pump.c"}
        # (patterns, paths left out)
        cases = [
            (["third_party"], {"./src/third_party/Inner.c", "./third_party/lib/Vend.c"}),
            (["third_party/**"], {"./third_party/lib/Vend.c"}),
            (["./third_party/"], {"./third_party/lib/Vend.c"}),
            (["*.h", "w"], {"./src/Conf.h", "./w/Pump.c"}),
            (["src/*"], {"./src/Led.c", "./src/Conf.h", "./src/third_party/Inner.c"}),
            (["**/lib/*.c", "[uv]"], {"./third_party/lib/Vend.c", "./v/Led.c"}),
        ]
        for patterns, left_out in cases:
            with self.subTest(patterns=patterns):
                args = [arg for pattern in patterns for arg in ("--exclude", pattern)]
                code, out, err = gate(self.root, *args, ".")
                self.assertEqual(code, 1)
                self.assertEqual({path for path, _ in located(out)}, everything - left_out)
                # Not read: no progress line of theirs.
                read = {line.split('"')[1] for line in out.splitlines() if line.startswith("Reading File : ")}
                names = {os.path.basename(path) for path in left_out} - {os.path.basename(path) for path in
                                                                          everything - left_out}
                self.assertFalse(read & names, out)

    def test_errors_come_before_any_output(self):
        support.write(self.root, "bad.txt", "# comment\n1\tv/Led.c\n")
        support.write(self.root, "tab.txt", "# comment\n1\tv/Led.c\ta1 does not fit: x\n1\tv/Led.c\ta2\tx\n")
        support.write(self.root, "file", "")
        # (arguments, text on standard error, found before anything is printed)
        cases = [
            (["--baseline", "missing.txt", "."], "missing.txt", True),
            (["--baseline", "bad.txt", "."], "bad.txt:2", True),
            (["--baseline", "tab.txt", "."], "tab.txt:3", True),
            (["--write-baseline", "no/such/folder/b.txt", "."], "no/such/folder/b.txt", True),
            (["--write-baseline", "file/b.txt", "."], "file/b.txt", True),
            (["--update-baseline", "missing.txt", "."], "missing.txt", True),
            (["--jsonl", "file/out.jsonl", "."], "file/out.jsonl", True),
            (["--write-baseline", "b.txt", "--changed-since", "HEAD", "."], "--changed-since", True),
            (["no such dir"], "no such dir", False),
            (["v", "no such dir"], "no such dir", False),
        ]
        for args, note, before in cases:
            with self.subTest(args=args):
                code, out, err = gate(self.root, *args)
                self.assertEqual(code, 2, err)
                self.assertIn(note, err)
                self.assertNotIn("no naming violations", out + err)
                if before:
                    self.assertEqual(out, "")


if __name__ == "__main__":
    unittest.main()
