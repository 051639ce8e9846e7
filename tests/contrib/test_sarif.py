"""contrib/skerry-lint-sarif: one SARIF result per diagnostic line of real
checker output, with rule ids from the message kind, URIs for paths with
blanks and ampersands, file-level results for line 0, the properties SARIF
2.1.0 requires, a cap on the results, and constant memory on large input."""

import json
import os
import pathlib
import resource
import unittest

import support

CONVERTER = os.path.join(support.CONTRIB, "skerry-lint-sarif")


def convert(text, *args):
    code, out, err = support.run([CONVERTER, *args], cwd=support.SOURCE_DIR, stdin=text.encode("utf-8"))
    return code, (json.loads(out) if out else None), err


def location(result):
    return result["locations"][0]["physicalLocation"]


class SarifTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        tree = support.Tree()
        try:
            cls.output = support.checker_output(tree.root)
        finally:
            tree.remove()

    def test_one_result_per_diagnostic(self):
        code, log, err = convert(self.output)
        self.assertEqual((code, err), (0, ""))
        self.assertEqual(log["version"], "2.1.0")
        self.assertEqual(len(log["runs"]), 1)
        run = log["runs"][0]
        driver = run["tool"]["driver"]
        self.assertEqual((driver["name"], driver["version"]), ("Skerry_Lint", "1.0"))
        self.assertRegex(driver["informationUri"], r"^file:///.*/README\.md$")
        source_uri = pathlib.Path(os.path.realpath(support.SOURCE_DIR)).as_uri() + "/"
        self.assertEqual(run["originalUriBaseIds"], {"%SRCROOT%": {"uri": source_uri}})
        self.assertEqual(run["invocations"], [{"executionSuccessful": True}])
        rule_ids = [rule["id"] for rule in driver["rules"]]
        self.assertEqual(len(set(rule_ids)), len(rule_ids))
        for rule in driver["rules"]:
            self.assertTrue(rule["shortDescription"]["text"] and rule["fullDescription"]["text"])
        uris = {
            "./dir with blanks/R&D Led.c": "dir%20with%20blanks/R%26D%20Led.c",
            "./a&b/CAN_Bus.c": "a%26b/CAN_Bus.c",
            "./v(2)/Led.c": "v%282%29/Led.c",
        }
        got = []
        for result in run["results"]:
            self.assertEqual(driver["rules"][result["ruleIndex"]]["id"], result["ruleId"])
            self.assertEqual(result["level"], "error")
            self.assertEqual(len(result["locations"]), 1)
            self.assertEqual(list(result["partialFingerprints"]), ["skerryLint/v1"])
            self.assertRegex(result["partialFingerprints"]["skerryLint/v1"], r"^[0-9a-f]{64}$")
            artifact = location(result)["artifactLocation"]
            self.assertEqual(artifact["uriBaseId"], "%SRCROOT%")
            line = location(result).get("region", {}).get("startLine", 0)
            got.append((artifact["uri"], line, result["message"]["text"], result["ruleId"]))
        expected = [(uris[path], line, message, rule) for path, line, message, rule in support.DIAGNOSTICS]
        self.assertEqual(sorted(got), sorted(expected))
        # Line 0 stands for the whole file: no region at all.
        for result in run["results"]:
            if "region" in location(result):
                self.assertGreater(location(result)["region"]["startLine"], 0)

    def test_paths_become_uris(self):
        # Paths as the checker prints them on Windows and on Linux.
        cases = [
            ("C:\\src\\Led Driver.c", {"uri": "file:///C:/src/Led%20Driver.c"}),
            ("src\\R&D\\Can.c", {"uri": "src/R%26D/Can.c", "uriBaseId": "%SRCROOT%"}),
            ("/home/ci/a b/x.c", {"uri": "file:///home/ci/a%20b/x.c"}),
            ("./Grüße.c", {"uri": "Gr%C3%BC%C3%9Fe.c", "uriBaseId": "%SRCROOT%"}),
            ("a(1)/b.c", {"uri": "a%281%29/b.c", "uriBaseId": "%SRCROOT%"}),
        ]
        for path, expected in cases:
            with self.subTest(path=path):
                text = path + "(3): error style: x does not fit: ^Mod[_]uc[A-Za-z0-9_#]+$\nOperation Finsh\n"
                code, log, _ = convert(text)
                self.assertEqual(code, 0)
                results = log["runs"][0]["results"]
                self.assertEqual(len(results), 1)
                self.assertEqual(location(results[0])["artifactLocation"], expected)
                self.assertEqual(location(results[0])["region"], {"startLine": 3})

    def test_incomplete_runs(self):
        lines = self.output.split("\n")
        cut = "\n".join(lines[:-3]) + "\n"  # closing line and last diagnostic gone
        argument_error = "argument error :nothing is no dir or file!\n"
        for text, results, notes in [(cut, len(support.DIAGNOSTICS) - 1, 0), (argument_error, 0, 1)]:
            with self.subTest(text=text[-40:]):
                code, log, err = convert(text)
                self.assertEqual(code, 1)
                self.assertIn("Operation Finsh", err)
                run = log["runs"][0]
                self.assertEqual(len(run["results"]), results)
                self.assertFalse(run["invocations"][0]["executionSuccessful"])
                self.assertEqual(len(run["invocations"][0].get("toolExecutionNotifications", [])), notes)

    def test_output_file(self):
        tree = support.Tree({})
        try:
            target = os.path.join(tree.root, "out.sarif")
            code, log, _ = convert(self.output, "-o", target)
            self.assertEqual((code, log), (0, None))
            with open(target, encoding="utf-8") as written:
                self.assertEqual(len(json.load(written)["runs"][0]["results"]), len(support.DIAGNOSTICS))
        finally:
            tree.remove()


    def test_result_cap(self):
        # (--max-results, results written, results left out)
        total = len(support.DIAGNOSTICS)
        for cap, written, left_out in [(0, 0, total), (3, 3, total - 3), (total, total, 0)]:
            with self.subTest(cap=cap):
                code, log, err = convert(self.output, "--max-results", str(cap))
                self.assertEqual(code, 0)
                run = log["runs"][0]
                self.assertEqual(len(run["results"]), written)
                notes = run["invocations"][0].get("toolExecutionNotifications", [])
                self.assertTrue(run["invocations"][0]["executionSuccessful"])
                if left_out:
                    self.assertIn("%d of %d results left out" % (left_out, total), err)
                    self.assertEqual([(n["level"], n["message"]["text"].split(" results")[0]) for n in notes],
                                     [("warning", "%d of %d" % (left_out, total))])
                else:
                    self.assertEqual((err, notes), ("", []))

    def test_options(self):
        cases = [
            (["--srcroot", "/home/ci/my repo"], "originalUriBaseIds",
             {"%SRCROOT%": {"uri": "file:///home/ci/my%20repo/"}}),
            (["--information-uri", "https://example.org/lint"], "informationUri", "https://example.org/lint"),
        ]
        for args, key, expected in cases:
            with self.subTest(args=args):
                code, log, _ = convert(self.output, *args)
                run = log["runs"][0]
                self.assertEqual(code, 0)
                self.assertEqual(run.get(key, run["tool"]["driver"].get(key)), expected)
        for args in [["--max-results", "-1"], ["--encoding", "no-such-codec"]]:
            with self.subTest(args=args):
                code, log, err = convert(self.output, *args)
                self.assertEqual((code, log), (2, None))
                self.assertIn("skerry-lint-sarif: error:", err)

    def test_memory_does_not_grow_with_the_input(self):
        # 300,000 diagnostics (27 MB); the whole log held in memory at once
        # would take several hundred MB.
        line = "./drivers/net/Ethernet(1).c(%d): error style: ucValue does not fit: ^Ethernet[_]uc[A-Za-z0-9_#]+$\n"
        text = "".join(line % n for n in range(1, 300001)) + "Operation Finsh\n"
        code, log, _ = convert(text)
        self.assertEqual(code, 0)
        self.assertEqual(len(log["runs"][0]["results"]), 300000)
        max_rss_mb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        self.assertLess(max_rss_mb, 100)


@unittest.skipUnless(support.GATE, "SKERRY_GATE_BINARY is not set")
class GateRecordsTest(unittest.TestCase):
    def test_baseline_state_and_suppressions(self):
        tree, output, jsonl = support.classified_tree()
        self.addCleanup(tree.remove)
        code, log, err = support.run([CONVERTER, jsonl], cwd=tree.root)
        self.assertEqual((code, err), (0, ""))
        run = json.loads(log)["runs"][0]
        self.assertEqual(run["invocations"], [{"executionSuccessful": True}])

        def state(result):
            return (result.get("baselineState"), json.dumps(result.get("suppressions")), result.get("kind"),
                    result["level"])

        found = {}
        for result in run["results"]:
            found.setdefault(state(result), []).append(location(result)["artifactLocation"]["uri"])
        # (state, paths)
        expected = {
            ("new", "null", None, "error"): ["v%282%29/Led.c"],
            ("unchanged", "null", None, "error"): [path[2:].replace(" ", "%20").replace("&", "%26")
                                                 for path, _, _, _ in support.DIAGNOSTICS if path != "./v(2)/Led.c"],
            (None, '[{"kind": "inSource"}]', None, "error"): ["w/Waived.c"],
            ("absent", "null", "pass", "none"): ["zz/Gone.c", "zz/Gone.c"],
        }
        self.maxDiff = None
        self.assertEqual({key: sorted(paths) for key, paths in found.items()},
                         {key: sorted(paths) for key, paths in expected.items()})
        # The results of the diagnostics are those of the checker's output.
        _, from_output, _ = convert(output, "--srcroot", tree.root)
        fingerprints = [result["partialFingerprints"] for result in run["results"] if result["level"] == "error"]
        self.assertEqual(sorted(map(str, fingerprints)),
                         sorted(str(result["partialFingerprints"]) for result in from_output["runs"][0]["results"]))


if __name__ == "__main__":
    unittest.main()
