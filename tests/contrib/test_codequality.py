"""contrib/skerry-lint-codequality: the Code Climate fields GitLab reads, one
issue per diagnostic of real checker output; fingerprints (shared with the
SARIF log) that survive lines moving and tell repeated messages apart; exit
codes."""

import json
import os
import unittest

import support

CODEQUALITY = os.path.join(support.CONTRIB, "skerry-lint-codequality")
SARIF = os.path.join(support.CONTRIB, "skerry-lint-sarif")


def convert(text, *args, cwd=support.SOURCE_DIR):
    code, out, err = support.run([CODEQUALITY, *args], cwd=cwd, stdin=text.encode("utf-8"))
    return code, (json.loads(out) if out else None), err


class CodeQualityTest(unittest.TestCase):
    def test_documented_fields(self):
        tree = support.Tree()
        try:
            output = support.checker_output(tree.root)
        finally:
            tree.remove()
        code, issues, err = convert(output)
        self.assertEqual((code, err), (0, ""))
        got = []
        for issue in issues:
            self.assertEqual(set(issue), {"type", "check_name", "description", "categories", "severity",
                                          "fingerprint", "location"})
            self.assertEqual((issue["type"], issue["categories"], issue["severity"]), ("issue", ["Style"], "major"))
            self.assertRegex(issue["fingerprint"], r"^[0-9a-f]{64}$")
            location = issue["location"]
            got.append((location["path"], location["lines"]["begin"], issue["description"], issue["check_name"]))
        # Paths relative to the repository; line 0 (the whole file) as line 1.
        expected = [(path[2:], max(line, 1), message, rule) for path, line, message, rule in support.DIAGNOSTICS]
        self.assertEqual(sorted(got), sorted(expected))
        self.assertEqual(len({issue["fingerprint"] for issue in issues}), len(issues))

    def test_fingerprints_follow_the_violation(self):
        # x is reported twice with the same message; a comment line inserted
        # above both moves them without changing them.
        before = {"Led.c": "uint8 x;\nvoid Led_Init(void)\n{\n  uint16 x;\n  uint16 x;\n}\n"}
        after = {"Led.c": "/* new */\n" + before["Led.c"]}
        fingerprints = {
            "codequality": (CODEQUALITY, lambda log: [(i["location"]["lines"]["begin"], i["fingerprint"])
                                                      for i in log]),
            "sarif": (SARIF, lambda log: [(r["locations"][0]["physicalLocation"]["region"]["startLine"],
                                           r["partialFingerprints"]["skerryLint/v1"])
                                          for r in log["runs"][0]["results"]]),
        }
        found = {}
        for files in (before, after):
            tree = support.Tree(files)
            try:
                output = support.checker_output(tree.root)
                for tool, (command, extract) in fingerprints.items():
                    code, out, _ = support.run([command], cwd=tree.root, stdin=output.encode("utf-8"))
                    self.assertEqual(code, 0)
                    found.setdefault(tool, []).append(extract(json.loads(out)))
            finally:
                tree.remove()
        for tool, (old, new) in found.items():
            with self.subTest(tool=tool):
                self.assertEqual([line for line, _ in old], [1, 4, 5])
                self.assertEqual([line for line, _ in new], [2, 5, 6])
                self.assertEqual([f for _, f in old], [f for _, f in new])
                self.assertEqual(len({f for _, f in old}), 3)
        self.assertEqual(found["codequality"], found["sarif"])

    def test_paths_and_exit_codes(self):
        diagnostic = "%s(0): error style: two upper case letters in filename are not allowed\n"
        cases = [
            # (input, arguments, exit code, location paths)
            (diagnostic % "/repo/src/CAN_Bus.c" + "Operation Finsh\n", ["--srcroot", "/repo"], 0, ["src/CAN_Bus.c"]),
            (diagnostic % "/elsewhere/CAN_Bus.c" + "Operation Finsh\n", ["--srcroot", "/repo"], 0,
             ["/elsewhere/CAN_Bus.c"]),
            (diagnostic % "src\\CAN_Bus.c" + "Operation Finsh\n", [], 0, ["src/CAN_Bus.c"]),
            (diagnostic % "./CAN_Bus.c", [], 1, ["CAN_Bus.c"]),
            ("argument error :nothing is no dir or file!\n", [], 1, []),
            ("Operation Finsh\n", ["--encoding", "no-such-codec"], 2, None),
            ("Operation Finsh\n", ["no-such-file"], 3, None),
        ]
        for text, args, expected_code, paths in cases:
            with self.subTest(text=text, args=args):
                code, issues, err = convert(text, *args)
                self.assertEqual(code, expected_code, err)
                if paths is None:
                    self.assertIsNone(issues)
                    self.assertTrue(err.startswith("skerry-lint-codequality: ") or "error:" in err, err)
                else:
                    self.assertEqual([issue["location"]["path"] for issue in issues], paths)
                    self.assertEqual("Operation Finsh" in err, expected_code == 1)


    @unittest.skipUnless(support.GATE, "SKERRY_GATE_BINARY is not set")
    def test_gate_records_major_when_new(self):
        tree, output, jsonl = support.classified_tree()
        self.addCleanup(tree.remove)
        code, out, err = support.run([CODEQUALITY, jsonl], cwd=tree.root)
        self.assertEqual((code, err), (0, ""))
        severities = {}
        for issue in json.loads(out):
            severities.setdefault(issue["severity"], []).append(issue["location"]["path"])
        self.assertEqual({severity: sorted(paths) for severity, paths in severities.items()},
                         {"major": ["v(2)/Led.c"],
                          "info": sorted(path[2:] for path, _, _, _ in support.DIAGNOSTICS if path != "./v(2)/Led.c")})
        # Waived ones left out; the fingerprints of the others as from the checker's output.
        _, from_output, _ = convert(output, cwd=tree.root)
        self.assertEqual(sorted(issue["fingerprint"] for issue in json.loads(out)),
                         sorted(issue["fingerprint"] for issue in from_output if issue["location"]["path"] != "w/Waived.c"))


if __name__ == "__main__":
    unittest.main()
