"""contrib/skerry-lint-gate: passes the checker's output through, leaving out
what its filters remove (exclusions, waivers, changed lines, baseline), and
exits 0 without (new) violations, 1 with, 2 for a run that did not complete
or a usage, baseline or git error."""

import importlib.machinery
import importlib.util
import os
import re
import signal
import stat
import subprocess
import sys
import unittest

import support

GATE = os.path.join(support.CONTRIB, "skerry-lint-gate")
ENV = dict(support.GIT_ENV, SKERRY_LINT=support.CHECKER)


def gate(root, *args):
    return support.run([GATE, *args], cwd=root, env=ENV)


def located(out):
    """(path, line) of each diagnostic line of an output."""
    found = []
    for line in support.diagnostic_lines(out):
        head = line.split("): error style: ")[0]
        path, number = head.rsplit("(", 1)
        found.append((path, int(number)))
    return found


class GateTest(unittest.TestCase):
    def setUp(self):
        self.tree = support.Tree()
        self.env = dict(os.environ, SKERRY_LINT=support.CHECKER)

    def tearDown(self):
        self.tree.remove()

    def test_exit_codes_and_output(self):
        # (arguments, exit code of the gate, text on standard error)
        cases = [
            (["ok"], 0, "no naming violations"),
            (["."], 1, "%d naming violation(s)" % len(support.DIAGNOSTICS)),
            (["v(2)/Led.c"], 1, "1 naming violation(s)"),
            (["a&b/CAN_Bus.c"], 1, "4 naming violation(s)"),
            (["no such dir"], 2, "ended with exit code 1"),
        ]
        for args, expected_code, expected_note in cases:
            with self.subTest(args=args):
                code, out, err = support.run([GATE, *args], cwd=self.tree.root, env=self.env)
                _, checker_out, _ = support.run([support.CHECKER, *args], cwd=self.tree.root)
                self.assertEqual(code, expected_code)
                self.assertEqual(out, checker_out)
                self.assertIn(expected_note, err)

    def test_several_paths_each_checked_in_order(self):
        args = ["ok", "no such dir", "a&b/CAN_Bus.c"]
        code, out, err = support.run([GATE, *args], cwd=self.tree.root, env=self.env)
        self.assertEqual(out, "".join(support.run([support.CHECKER, a], cwd=self.tree.root)[1] for a in args))
        self.assertEqual(code, 2)
        self.assertIn("ended with exit code 1 on 'no such dir'", err)
        self.assertIn("4 naming violation(s)", err)

    def test_path_below_one_checked_before_is_left_out(self):
        code, out, err = support.run([GATE, "a&b", "ok", "./a&b/CAN_Bus.c"], cwd=self.tree.root, env=self.env)
        self.assertEqual(out, "".join(support.run([support.CHECKER, a], cwd=self.tree.root)[1] for a in ["a&b", "ok"]))
        self.assertEqual(code, 1)
        self.assertIn("./a&b/CAN_Bus.c is checked with a&b already: not checked again", err)
        self.assertIn("4 naming violation(s)", err)

    def test_stopped_gate_stops_the_checker(self):
        # A stand-in checker that scans for a long time; the gate is stopped
        # while it waits for more output.
        fake = os.path.join(self.tree.root, "slow")
        with open(fake, "w", encoding="utf-8") as out:
            out.write("#!/bin/sh\necho $$ > pid\necho 'Reading File : \"a.c\" size: 1 lines'\nexec sleep 60\n")
        os.chmod(fake, stat.S_IRWXU)
        # (jobs, signal, exit code of the gate)
        cases = [("1", signal.SIGTERM, 143), ("2", signal.SIGTERM, 143), ("1", signal.SIGINT, 130), ("2", signal.SIGINT, 130)]
        for jobs, number, expected in cases:
            with self.subTest(jobs=jobs, signal=number):
                pid_file = os.path.join(self.tree.root, "pid")
                if os.path.exists(pid_file):
                    os.remove(pid_file)
                gate_process = subprocess.Popen([GATE, "-j", jobs, "."], cwd=self.tree.root, stdout=subprocess.PIPE,
                                                stderr=subprocess.DEVNULL, env=dict(self.env, SKERRY_LINT=fake))
                self.assertIn(b"Reading File", gate_process.stdout.readline())
                gate_process.send_signal(number)
                self.assertEqual(gate_process.wait(timeout=30), expected)
                gate_process.stdout.close()
                with open(pid_file, encoding="utf-8") as source:
                    checker = int(source.read())
                self.assertTrue(support.gone(checker), "the checker %d still runs" % checker)

    def test_checker_that_stops_early(self):
        # A checker that is killed after its first lines: no closing line.
        fake = os.path.join(self.tree.root, "stops-early")
        with open(fake, "w", encoding="utf-8") as out:
            out.write('#!/bin/sh\necho "x.c(1): error style: a does not fit: ^x"\nexit 0\n')
        os.chmod(fake, stat.S_IRWXU)
        missing = os.path.join(self.tree.root, "no-such-checker")
        for checker, note in [(fake, "without \"Operation Finsh\""), (missing, "cannot run")]:
            with self.subTest(checker=checker):
                code, _, err = support.run([GATE, "."], cwd=self.tree.root, env=dict(os.environ, SKERRY_LINT=checker))
                self.assertEqual(code, 2)
                self.assertIn(note, err)


class BaselineTest(unittest.TestCase):
    def setUp(self):
        self.tree = support.Tree({"v/Led.c": "void a1(void);\nvoid a2(void);\n", "w/Pump.c": "void p1(void);\n"})
        self.root = self.tree.root

    def tearDown(self):
        self.tree.remove()

    def read(self, name):
        with open(os.path.join(self.root, name), encoding="utf-8") as source:
            return source.read()

    def test_baseline_life_cycle(self):
        code, _, err = gate(self.root, "--write-baseline", "base.txt", ".")
        self.assertEqual(code, 0, err)
        self.assertEqual(self.read("base.txt"), (
            "# Skerry_Lint baseline: known naming violations, written by skerry-lint-gate --write-baseline.\n"
            "# count<TAB>path<TAB>message; line numbers are left out on purpose.\n"
            "1\tv/Led.c\ta1 does not fit: ^Led[_][A-Za-z0-9_#]+$\n"
            "1\tv/Led.c\ta2 does not fit: ^Led[_][A-Za-z0-9_#]+$\n"
            "1\tw/Pump.c\tp1 does not fit: ^Pump[_][A-Za-z0-9_#]+$\n"))
        # (step, files written before it, arguments, exit code, diagnostics
        # printed, text on standard error)
        steps = [
            ("unchanged", {}, ["."], 0, [], "3 known"),
            ("other root form", {}, ["v", "w/Pump.c"], 0, [], "3 known"),
            ("line inserted above", {"v/Led.c": "void Led_Ok(void);\nvoid a1(void);\nvoid a2(void);\n"},
             ["."], 0, [], "3 known"),
            ("new violation", {"v/Led.c": "void Led_Ok(void);\nvoid a1(void);\nvoid a3(void);\nvoid a2(void);\n"},
             ["."], 1, [("./v/Led.c", 3)], "1 new naming violation(s)"),
            ("one more of a known message: the later is new",
             {"v/Led.c": "void Led_Ok(void);\nvoid a2(void);\nvoid a1(void);\nvoid a2(void);\n"},
             ["v"], 1, [("v/Led.c", 4)], "2 known"),
            ("fixed: stale", {"v/Led.c": "void Led_Ok(void);\nvoid a1(void);\nvoid a2(void);\n",
                              "w/Pump.c": "void Pump_Ok(void);\n"},
             ["."], 0, [], "1 stale baseline entry (no longer reported; drop them with --write-baseline):\n"
                           "  w/Pump.c: p1 does not fit"),
            ("stale only below the paths checked", {}, ["v"], 0, [], "2 known"),
        ]
        for step, files, args, expected_code, expected_lines, note in steps:
            with self.subTest(step=step):
                for name, content in files.items():
                    support.write(self.root, name, content)
                code, out, err = gate(self.root, "--baseline", "base.txt", *args)
                self.assertEqual((code, located(out)), (expected_code, expected_lines), err)
                self.assertIn(note, err)
                self.assertEqual("stale" in err, step.startswith("fixed"), err)
        code, _, err = gate(self.root, "--baseline", "base.txt", "--write-baseline", "base.txt")
        self.assertEqual(code, 0, err)
        self.assertNotIn("Pump.c", self.read("base.txt"))

    def test_baseline_of_a_file_with_megabytes_of_diagnostics(self):
        # A stand-in checker prints one file's 60000 diagnostics (more than
        # one read of the pipe), some message twice; the baseline misses one.
        lines = ["big/Gen.h(%d): error style: r%d does not fit: ^Gen[_][A-Za-z0-9_#]+$" % (i, i % 50000)
                 for i in range(1, 60001)]
        support.write(self.root, "out.txt", "\n".join(lines + ["Operation Finsh", ""]))
        fake = os.path.join(self.root, "checker")
        with open(fake, "w", encoding="utf-8") as out:
            out.write("#!/bin/sh\nexec cat '%s'\n" % os.path.join(self.root, "out.txt"))
        os.chmod(fake, stat.S_IRWXU)
        env = dict(ENV, SKERRY_LINT=fake)
        code, _, err = support.run([GATE, "--write-baseline", "all.txt", "."], cwd=self.root, env=env)
        self.assertEqual(code, 0, err)
        with open(os.path.join(self.root, "all.txt"), encoding="utf-8") as source:
            written = source.read()
        support.write(self.root, "one.txt", written.replace("1\tbig/Gen.h\tr12345 ", "1\tbig/Gen.h\tx "))
        support.write(self.root, "twice.txt", written.replace("2\tbig/Gen.h\tr77 ", "1\tbig/Gen.h\tr77 "))
        support.write(self.root, "zero.txt", written.replace("1\tbig/Gen.h\tr12345 ", "0\tbig/Gen.h\tr12345 "))
        # (baseline, exit code, diagnostics printed, text on standard error)
        cases = [("all.txt", 0, [], "60000 known"),
                 ("one.txt", 1, [("big/Gen.h", 12345)], "59999 known"),
                 ("twice.txt", 1, [("big/Gen.h", 50077)], "59999 known"),
                 ("zero.txt", 1, [("big/Gen.h", 12345)], "59999 known")]
        for baseline, expected_code, expected_lines, note in cases:
            with self.subTest(baseline=baseline):
                code, out, err = support.run([GATE, "--baseline", baseline, "."], cwd=self.root, env=env)
                self.assertEqual((code, located(out)), (expected_code, expected_lines), err)
                self.assertIn(note, err)

    def test_waivers(self):
        files = {
            "Led.c": "void w1(void); /* skerry-lint: allow */\nvoid w2(void); // skerry-lint: allowed\n",
            "bad name.c": "void n1(void); /* skerry-lint: allow-file-name */\n",
            "other name.c": "void o1(void); /* skerry-lint: allow */\n",
        }
        for name, content in files.items():
            support.write(self.root, name, content)
        code, out, err = gate(self.root, "Led.c", "bad name.c", "other name.c")
        self.assertEqual(code, 1)
        self.assertEqual(located(out), [("Led.c", 2), ("bad name.c", 1), ("other name.c", 0)])
        self.assertIn("not reported: 3 waived", err)

    def test_exclusions(self):
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
                self.assertIn("%d excluded" % sum(2 if path == "./v/Led.c" else 1 for path in left_out), err)
        code, out, err = gate(self.root, "--exclude", "third_party", "third_party/lib/Vend.c", "w")
        self.assertEqual((code, out.count("Operation Finsh")), (1, 1))
        self.assertIn("third_party/lib/Vend.c is excluded: not checked", err)

    def test_errors(self):
        with open(os.path.join(self.root, "bad.txt"), "w", encoding="utf-8") as out:
            out.write("# comment\n1\tv/Led.c\n")
        with open(os.path.join(self.root, "tab.txt"), "w", encoding="utf-8") as out:
            out.write("# comment\n1\tv/Led.c\ta1 does not fit: x\n1\tv/Led.c\ta2\tx\n")
        # (arguments, text on standard error)
        cases = [
            (["--changed-since", "HEAD", "."], "needs a git work tree"),
            (["--write-baseline", "b.txt", "--changed-since", "HEAD"], "cannot be combined"),
            (["--baseline", "missing.txt", "."], "cannot read baseline missing.txt"),
            (["--baseline", "bad.txt", "."], "bad.txt:2: not a baseline entry"),
            (["--baseline", "tab.txt", "-j", "1", "."], "tab.txt:3: not a baseline entry"),
            (["--baseline", "tab.txt", "-j", "2", "."], "tab.txt:3: not a baseline entry"),
            (["--jobs", "0", "."], "--jobs must be at least 1"),
            (["--write-baseline", "no/such/folder/b.txt", "."], "cannot write baseline"),
        ]
        for args, note in cases:
            with self.subTest(args=args):
                code, out, err = gate(self.root, *args)
                self.assertEqual(code, 2)
                self.assertIn(note, err)
                self.assertNotIn("Traceback", err)


class WorkersTest(unittest.TestCase):
    def test_workers_filter_as_one_process_does(self):
        # A stand-in checker prints progress lines, waits, then a listing of
        # several chunks: 1200 files, one with a run longer than a chunk, one
        # printed again at the end, one with a waived line.
        tree = support.Tree({"w/Waived.c": "\n" * 5 + "void n(void); /* skerry-lint: allow */\n"})
        root = tree.root
        self.addCleanup(tree.remove)
        listing = []
        for number in range(1200):
            lines = 130000 if number == 7 else 90
            listing += ["big/F%04d.c(%d): error style: n%d does not fit: ^F%04d[_][A-Za-z0-9_#]+$"
                        % (number, line, line % 60, number) for line in range(1, lines)]
        listing += ["w/Waived.c(%d): error style: n does not fit: ^Waived[_][A-Za-z0-9_#]+$" % line for line in (2, 6)]
        listing += ["big/F0003.c(%d): error style: n%d does not fit: ^F0003[_][A-Za-z0-9_#]+$" % (line, line % 70)
                    for line in range(1, 80)]
        support.write(root, "progress.txt", "".join('Reading File : "F%04d.c" size: 9 lines\n' % n for n in range(1200)))
        support.write(root, "listing.txt", "\n".join(listing + ["Operation Finsh", ""]))
        fake = os.path.join(root, "checker")
        with open(fake, "w", encoding="utf-8") as out:
            out.write("#!/bin/sh\ncat '%s/progress.txt'\nsleep 0.3\nexec cat '%s/listing.txt'\n" % (root, root))
        os.chmod(fake, stat.S_IRWXU)
        env = dict(ENV, SKERRY_LINT=fake)
        code, _, err = support.run([GATE, "--write-baseline", "all.txt", "."], cwd=root, env=env)
        self.assertEqual(code, 0, err)
        with open(os.path.join(root, "all.txt"), encoding="utf-8") as source:
            written = source.read().splitlines(True)
        # Some entries gone (new violations), some counted lower, some for
        # code that is gone (stale).
        edited = [line for number, line in enumerate(written) if number % 97 != 5]
        edited = [line.replace("2\tbig/F0003.c", "1\tbig/F0003.c") for line in edited]
        edited += ["1\tbig/F%04d.c\tgone does not fit\n" % number for number in range(0, 1200, 100)]
        support.write(root, "edited.txt",
                      "".join(edited[:2] + sorted(edited[2:], key=lambda line: line.split("\t")[1])))
        # (filters, what their summary says, diagnostics printed at least)
        cases = [(["--baseline", "edited.txt"], ["1 waived", "12 stale baseline entries"], 1000),
                 ([], ["1 waived"], 236000),
                 (["--exclude", "F00[0-4]*"], ["1 waived", "134439 excluded"], 102000)]
        for filters, notes, printed in cases:
            with self.subTest(filters=filters):
                results = [support.run([GATE, *filters, "-j", jobs, "."], cwd=root, env=env) for jobs in ("1", "3")]
                code, out, err = results[0]
                self.assertEqual(code, 1, err)
                for note in notes:
                    self.assertIn(note, err)
                self.assertGreater(len(located(out)), printed)
                self.assertEqual(results[1], results[0])
                if filters[:1] == ["--baseline"]:  # new with the counts that the first run of that path left
                    self.assertIn(("big/F0003.c", 70), located(out))
        # Standard output a file opened for appending, which the kernel does not copy into directly.
        support.write(root, "appended.txt", "first\n")
        subprocess.run(["sh", "-c", 'exec "$0" -j 3 . >> appended.txt 2>/dev/null', GATE], cwd=root, env=env)
        with open(os.path.join(root, "appended.txt"), encoding="utf-8") as source:
            self.assertEqual(source.read(), "first\n" + support.run([GATE, "-j", "1", "."], cwd=root, env=env)[1])


class PatternsTest(unittest.TestCase):
    def test_possessive_repeats_match_as_greedy_ones(self):
        # Pythons before 3.11 get the patterns with greedy repeats in place of
        # possessive ones: the matches must be the same, wherever they start.
        loader = importlib.machinery.SourceFileLoader("skerry_lint_gate", GATE)
        module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
        loader.exec_module(module)
        sys.path.insert(0, support.CONTRIB)
        import skerry_lint_output as output
        listing = (b"a.c(1): error style: m1\na.c(22): error style: m2 (3): error style: x\r\n"
                   b"a.c(x): error style: not a line of a.c\na.c(3)(4): error style: y\n"
                   b"b(1): error style: c.c(5): error style: z\nb(1): error style: \nb(12): error style: w\n"
                   b"Operation Finsh\nc.c(7): error style: no line feed")
        baseline = (b"# head\n1\ta.c\tm1\n3\ta.c\tm2\n12\ta.c\tm\twith a tab\nx\ta.c\tm\n"
                    b"2\tb.c\t\n1\tb.c\tm\n10\tb.c\tm (1): error style: n\n1\tc.c\tno line feed")
        for pattern, text in [(module.SPAN, listing), (module.LINE, listing), (module.MESSAGES, listing),
                              (output._BASELINE_RUN, baseline), (output._REPEATED, b"\n" + baseline)]:
            greedy = re.compile(pattern.pattern.replace(b"*+", b"*").replace(b"++", b"+"))
            with self.subTest(pattern=pattern.pattern):
                self.assertNotEqual(greedy.pattern, pattern.pattern)
                self.assertEqual(pattern.findall(text), greedy.findall(text))
                for start in range(len(text)):
                    found, expected = pattern.match(text, start), greedy.match(text, start)
                    self.assertEqual(found and (found.span(), found.groups()),
                                     expected and (expected.span(), expected.groups()))


class ChangedLinesTest(unittest.TestCase):
    def test_only_lines_changed_since_ref(self):
        tree = support.git_tree({
            "src/Led.c": "void a1(void);\nvoid a2(void);\n",
            "src/Old.c": "void r1(void);\n",
            ".gitignore": "ignored/\n",
        })
        try:
            root = tree.root
            support.write(root, "src/Led.c", "void a1(void);\nvoid a3(void);\nvoid a2(void);\n")
            support.git(root, "mv", "src/Old.c", "src/new name.c")
            support.write(root, "dir b/Fresh.c", "void f1(void);\nvoid f2(void);\n")
            support.write(root, "ignored/Skip.c", "void s1(void);\n")
            # (folder run from, arguments, diagnostics printed)
            cases = [
                (".", ["--changed-since", "HEAD"], [("./src/new name.c", 0), ("./src/Led.c", 2),
                                                    ("./dir b/Fresh.c", 1), ("./dir b/Fresh.c", 2)]),
                ("src", ["--changed-since", "HEAD", "."], [("./new name.c", 0), ("./Led.c", 2)]),
                (".", ["--changed-since", "HEAD", "src/Led.c", "ignored"], [("src/Led.c", 2)]),
            ]
            for folder, args, expected in cases:
                with self.subTest(folder=folder, args=args):
                    code, out, err = gate(os.path.join(root, folder), *args)
                    self.assertEqual(code, 1, err)
                    self.assertEqual(sorted(located(out)), sorted(expected))
            code, _, err = gate(root, "--changed-since", "no-such-ref")
            self.assertEqual(code, 2)
            self.assertIn("unknown git revision 'no-such-ref'", err)
        finally:
            tree.remove()


if __name__ == "__main__":
    unittest.main()
