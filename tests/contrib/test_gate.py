"""contrib/skerry-lint-gate: passes the checker's output through unchanged
and exits 0 for a clean run, 1 for a run with violations, 2 for a run that
did not complete."""

import os
import stat
import unittest

import support

GATE = os.path.join(support.CONTRIB, "skerry-lint-gate")


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

    def test_checker_that_stops_early(self):
        # A checker that is killed after its first lines: no closing line.
        fake = os.path.join(self.tree.root, "stops-early")
        with open(fake, "w", encoding="utf-8") as out:
            out.write('#!/bin/sh\necho "x.c(1): error style: a does not fit: ^x"\nexit 0\n')
        os.chmod(fake, stat.S_IRWXU)
        missing = os.path.join(self.tree.root, "no-such-checker")
        for checker, note in [(fake, "without \"Operation Finsh\""), (missing, "ended with exit code 127")]:
            with self.subTest(checker=checker):
                code, _, err = support.run([GATE, "."], cwd=self.tree.root, env=dict(os.environ, SKERRY_LINT=checker))
                self.assertEqual(code, 2)
                self.assertIn(note, err)


if __name__ == "__main__":
    unittest.main()
