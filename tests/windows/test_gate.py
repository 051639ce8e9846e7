"""skerry-lint-gate.exe under wine against the Linux gate: the same trees
and options (baselines written and read, exclusions, waivers, several
paths), compared after translation with the order of a folder's entries
left aside. The changed-lines filter needs a git for Windows, which wine
here has not: that case is left to the Linux tests."""

import os
import unittest

import wine

WINDOWS_GATE = os.environ.get("SKERRY_WINDOWS_GATE", "")
LINUX_GATE = os.environ.get("SKERRY_LINUX_GATE", "")

FILES = {
    "src/core/Init.c": "void i1(void);\nvoid i2(void);\n",
    "src/core/Def.c": "void d1(void);\nvoid d2(void);\nvoid d1(void);\n",
    "src/apps/Http.c": "void h1(void);\n",
    "src/apps/Waived.c": "uint8 legacyCount; /* skerry-lint: allow */\n/* skerry-lint: allow-next-line */\n"
                         "uint8 other;\nuint8 shown;\nvoid Waived_Init(void);\n",
    "src/Ok.c": "void Ok_Init(void);\n",
    "a&b/CAN_Bus.c": "uint8 CAN_ucBuf[4];\nvoid CAN_Init(void);\n",
}


@unittest.skipUnless(WINDOWS_GATE and LINUX_GATE and os.access(LINUX_GATE, os.X_OK),
                     "needs both gates (configure with -DSKERRY_LINUX_CHECKER=<Linux build>/Skerry_Lint)")
class SameAsLinuxGateTest(unittest.TestCase):
    def run_both(self, root, args):
        code, out, err = wine.run_windows(args, root, program=WINDOWS_GATE)
        linux = wine.subprocess.run([LINUX_GATE] + args, cwd=root, capture_output=True, timeout=600)
        self.assertEqual(code, linux.returncode, err)
        self.assertTrue(wine.lines_end_in_crlf(out))
        self.assertEqual(wine.canonical(wine.to_linux_form(out)), wine.canonical(linux.stdout))

    def test_options(self):
        tree = wine.Tree(FILES)
        try:
            cases = [
                ["."], ["src"], ["src/core/Def.c"], ["src", "a&b"], ["src/core", "src"],
                ["--exclude", "src/apps/**", "."], ["--quiet", "."],
                ["--write-baseline", "linux.baseline", "."],
            ]
            for args in cases:
                with self.subTest(args=args):
                    self.run_both(tree.root, args)
            # A baseline the Linux gate wrote is read by the Windows one: the
            # keys do not depend on the separator.
            tree.write("src/apps/Http.c", "void h1(void);\nvoid h2(void);\n")
            with self.subTest(args="--baseline"):
                self.run_both(tree.root, ["--baseline", "linux.baseline", "."])
            code, out, _ = wine.run_windows(["--write-baseline", "windows.baseline", "."], tree.root,
                                            program=WINDOWS_GATE)
            self.assertEqual(code, 0, out)
            with open(tree.path("windows.baseline"), "rb") as written:
                keys = written.read()
            self.assertNotIn(b"\\", keys)
            # NUL is the device, as /dev/null is on Linux: written to, never
            # replaced by a file.
            before = sorted(os.listdir(tree.root))
            for device in ("NUL", "src\\nul"):
                code, out, err = wine.run_windows(["--write-baseline", device, "."], tree.root, program=WINDOWS_GATE)
                self.assertEqual(code, 0, err)
                self.assertEqual(sorted(os.listdir(tree.root)), before)
                self.assertNotIn("nul", [name.lower() for name in os.listdir(tree.path("src"))])
        finally:
            tree.remove()


if __name__ == "__main__":
    unittest.main()
