"""contrib/skerry-lint-report: the page made from real checker output, opened
from a file:// address in headless Chromium through WebDriver; what it shows
against the counts of the input, its filters, drill-down and baseline."""

import os
import shutil
import sys
import tempfile
import unittest

try:
    from selenium import webdriver
except ImportError:
    # Debian's Selenium (python3-selenium) is only on Debian's Python path.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

import support

sys.path.insert(0, support.CONTRIB)
import skerry_lint_output as output  # noqa: E402

REPORT = os.path.join(support.CONTRIB, "skerry-lint-report")
FILES = dict(support.TREE, **{"a&b/inner/Deep.c": "uint8 y;\nvoid Deep_Init(void);\n"})


def counts(text):
    """(total, {kind: count}, [(path, line, message)]) of checker output."""
    found = [d for d in map(output.parse_diagnostic, text.split("\n")) if d]
    kinds = {kind: 0 for kind in output.KINDS}
    for _, _, message in found:
        kinds[output.kind_of(message)] += 1
    return len(found), kinds, found


class ReportTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tree = support.Tree(FILES)
        cls.work = tempfile.mkdtemp(prefix="skerry-report-")
        cls.output = support.checker_output(cls.tree.root)
        cls.input = cls.write("checker.out", cls.output)
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=1280,1000", "--user-data-dir=" + os.path.join(cls.work, "profile")):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        try:
            cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        except Exception:
            cls.tree.remove()
            shutil.rmtree(cls.work, ignore_errors=True)
            raise

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.tree.remove()
        shutil.rmtree(cls.work, ignore_errors=True)

    @classmethod
    def write(cls, name, text):
        path = os.path.join(cls.work, name)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
        return path

    def open_report(self, *args, expected_code=0, source=None):
        """Makes the page from source (default: the tree's output) and opens it."""
        page = os.path.join(self.work, "report.html")
        code, _, err = support.run([REPORT, "--source-root", self.tree.root, "-o", page, *args,
                                    source or self.input], cwd=self.work,
                                   env=dict(os.environ, SKERRY_LINT_GATE=support.GATE))
        self.assertEqual(code, expected_code, err)
        self.driver.get("file://" + page)
        self.assertEqual(self.driver.find_element(By.TAG_NAME, "body").get_attribute("data-ready"), "1")
        errors = [entry for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def value(self, element_id):
        return int(self.driver.find_element(By.ID, element_id).get_attribute("data-value"))

    def listed(self):
        """(path, line, kind) of the rows the list shows once it has applied
        the filters as they are set."""
        script = """
            function value(id) { return document.getElementById(id).value; }
            var set = JSON.stringify([value("filter-text"), value("filter-kind"), value("filter-folder"),
                                      document.getElementById("filter-new").checked]);
            if (document.getElementById("list-count").getAttribute("data-applied") !== set) return null;
            return {rows: Array.prototype.map.call(document.querySelectorAll("#list-table tbody tr[data-kind]"),
                function (row) { return [row.dataset.path, +row.dataset.line, row.dataset.kind]; })};"""
        rows = WebDriverWait(self.driver, 10).until(lambda driver: driver.execute_script(script))["rows"]
        return [tuple(row) for row in rows]

    def clear_filters(self):
        self.driver.find_element(By.ID, "filter-clear").click()

    def test_totals_equal_the_input(self):
        self.open_report()
        total, kinds, found = counts(self.output)
        self.assertEqual(self.value("count-total"), total)
        self.assertEqual(self.value("count-files-read"), self.output.count("Reading File : "))
        self.assertEqual(self.value("count-files-with"), len({path for path, _, _ in found}))
        for kind, count in kinds.items():
            with self.subTest(kind=kind):
                cell = self.driver.find_element(By.CSS_SELECTOR, '#kinds tr[data-kind="%s"] td[data-value]' % kind)
                self.assertEqual(int(cell.get_attribute("data-value")), count)
        self.assertEqual(sorted(self.listed()), sorted((p[2:], n, output.kind_of(m)) for p, n, m in found))
        # The flagged source line beside its row, and none for line 0.
        rows = self.driver.find_elements(By.CSS_SELECTOR, '#list-table tr[data-path="v(2)/Led.c"] td.src')
        self.assertEqual([cell.text for cell in rows], ["uint8 x;"])
        self.assertNotIn("left out", self.driver.find_element(By.ID, "sample-note").text)

    def test_filters_narrow_the_list(self):
        self.open_report()
        total, _, found = counts(self.output)
        driver = self.driver
        cases = [
            ("kind", "name-form", lambda p, m: output.kind_of(m) == "name-form"),
            ("kind", "array-list-postfix", lambda p, m: output.kind_of(m) == "array-list-postfix"),
            ("folder", "a&b", lambda p, m: p.startswith("./a&b/")),
            ("folder", "./a&b/inner/", lambda p, m: p.startswith("./a&b/inner/")),
            ("folder", "v(2)/Led.c", lambda p, m: p == "./v(2)/Led.c"),
            ("text", "CAN_ucBuf", lambda p, m: "CAN_ucBuf" in m),
        ]
        for control, value, wanted in cases:
            with self.subTest(control=control, value=value):
                self.clear_filters()
                if control == "kind":
                    labels = {kind["id"]: kind["label"] for kind in driver.execute_script(
                        "return JSON.parse(document.getElementById('report-data').textContent).kinds")}
                    Select(driver.find_element(By.ID, "filter-kind")).select_by_visible_text(labels[value])
                else:
                    driver.find_element(By.ID, "filter-" + control).send_keys(value)
                expected = sorted((p[2:], n) for p, n, m in found if wanted(p, m))
                self.assertTrue(expected)
                self.assertEqual(sorted(row[:2] for row in self.listed()), expected)

    def test_drill_down_by_folder(self):
        self.open_report()
        driver = self.driver
        total, _, found = counts(self.output)

        def shown_total():
            return int(driver.find_element(By.CSS_SELECTOR, "#folder-table tr.folder-total td[data-value]")
                       .get_attribute("data-value"))

        def below(folder):
            return sum(1 for path, _, _ in found if path.startswith("./" + folder + "/"))

        def modules():
            """(path, count) of the rows of the modules table, and the folder it is of."""
            table = driver.find_element(By.ID, "top-table")
            rows = [(row.get_attribute("data-path"),
                     int(row.find_element(By.CSS_SELECTOR, "td[data-value]").get_attribute("data-value")))
                    for row in table.find_elements(By.CSS_SELECTOR, "tbody tr[data-path]")]
            return table.get_attribute("data-folder"), rows

        def expected_modules(folder):
            per_file = {}
            for path, _, _ in found:
                if path.startswith("./" + folder + "/"):
                    per_file[path[2:]] = per_file.get(path[2:], 0) + 1
            return per_file

        self.assertEqual(shown_total(), total)
        for folder in ("a&b", "a&b/inner"):
            with self.subTest(folder=folder):
                driver.find_element(By.CSS_SELECTOR, '#folder-table tr[data-path="%s"] button' % folder).click()
                self.assertEqual(driver.find_element(By.ID, "crumbs").get_attribute("data-path"), folder)
                self.assertEqual(shown_total(), below(folder))
                # The list follows the folder, and so do the modules, most violations first.
                self.assertEqual(len(self.listed()), below(folder))
                shown_folder, rows = modules()
                self.assertEqual((shown_folder, dict(rows)), (folder, expected_modules(folder)))
                self.assertEqual([count for _, count in rows], sorted((count for _, count in rows), reverse=True))
        driver.find_element(By.CSS_SELECTOR, "#crumbs li:first-child button").click()
        self.assertEqual(shown_total(), total)
        self.assertEqual(len(modules()[1]), len({path for path, _, _ in found}))
        self.assertEqual(len(self.listed()), total)

    def baseline_fixture(self):
        """A baseline in the tree's root: every diagnostic but those of
        v(2)/Led.c; one of CAN_Bus.c counted twice (one fixed) and one entry
        of a gone file. Gives (new diagnostics as (path, line), the checker's
        diagnostics)."""
        _, _, found = counts(self.output)
        known = {}
        for path, _, message in found:
            if path != "./v(2)/Led.c":
                known[(path[2:], message)] = known.get((path[2:], message), 0) + 1
        known[("a&b/CAN_Bus.c", "two upper case letters in filename are not allowed")] += 1
        known[("gone/Old.c", "z does not fit: ^Old[_]uc[A-Za-z0-9_#]+$")] = 3
        support.write(self.tree.root, "known.baseline", "# known\n" + "".join(
            "%d\t%s\t%s\n" % (count, path, message) for (path, message), count in sorted(known.items())))
        return [(p[2:], n) for p, n, _ in found if p == "./v(2)/Led.c"], found

    def gate_jsonl(self, *args):
        """The gate's JSON Lines of a run on the tree, as a file."""
        jsonl = os.path.join(self.work, "gate.jsonl")
        code, _, err = support.run([support.GATE, *args, "--jsonl", jsonl, "."], cwd=self.tree.root)
        self.assertIn(code, (0, 1), err)
        return jsonl

    @unittest.skipUnless(support.GATE, "SKERRY_GATE_BINARY is not set")
    def test_baseline_shows_new_and_fixed(self):
        new, found = self.baseline_fixture()
        baseline = os.path.join(self.tree.root, "known.baseline")
        # (input: the checker's output classified by the gate, or the gate's JSON Lines)
        cases = [("checker output", ["--baseline", baseline], self.input),
                 ("gate's JSON Lines", [], self.gate_jsonl("--baseline", baseline))]
        for name, args, source in cases:
            with self.subTest(input=name):
                self.open_report(*args, source=source)
                self.assertEqual(self.value("count-new"), len(new))
                self.assertEqual(self.value("count-fixed"), 4)
                self.assertEqual(self.value("count-total"), len(found))
                fixed = [[cell.text for cell in row.find_elements(By.TAG_NAME, "td")]
                         for row in self.driver.find_elements(By.CSS_SELECTOR, "#fixed-table tbody tr")]
                self.assertEqual(fixed, [["a&b/CAN_Bus.c", "two upper case letters in filename are not allowed", "1"],
                                         ["gone/Old.c", "z does not fit: ^Old[_]uc[A-Za-z0-9_#]+$", "3"]])
                # The list shows paths as the fixed table does (no "./"), the new ones first.
                shown = self.driver.execute_script(
                    "return Array.prototype.map.call(document.querySelectorAll('#list-table tbody tr[data-kind]'),"
                    " function (row) { return [row.cells[0].firstChild.textContent,"
                    " row.classList.contains('is-new')]; })")
                self.assertEqual({path for path, _ in shown}, {p[2:] for p, _, _ in found})
                self.assertEqual([is_new for _, is_new in shown], [True] * len(new) + [False] * (len(found) - len(new)))
                self.assertEqual(self.driver.find_elements(By.ID, "filtered"), [])
                self.driver.find_element(By.ID, "filter-new").click()
                self.assertEqual([row[:2] for row in self.listed()], new)

    @unittest.skipUnless(support.GATE, "SKERRY_GATE_BINARY is not set")
    def test_gate_counts_waived_and_excluded_apart(self):
        support.write(self.tree.root, "w/Waived.c", "void w1(void); /* skerry-lint: allow */\n")
        self.addCleanup(shutil.rmtree, os.path.join(self.tree.root, "w"))
        _, _, found = counts(self.output)
        self.open_report(source=self.gate_jsonl("--exclude", "a&b"))
        self.assertEqual(self.value("count-total"), sum(1 for p, _, _ in found if not p.startswith("./a&b/")))
        self.assertEqual(self.driver.find_elements(By.ID, "count-new"), [])  # no baseline: nothing is "new"
        note = self.driver.find_element(By.ID, "gate-note").text
        self.assertIn("1 waived", note)
        self.assertIn("1 excluded", note)

    @unittest.skipUnless(support.GATE, "SKERRY_GATE_BINARY is not set")
    def test_a_log_the_gate_filtered_already_is_named(self):
        self.baseline_fixture()
        code, log, err = support.run([support.GATE, "--baseline", "known.baseline", "."], cwd=self.tree.root)
        self.assertEqual(code, 1, err)
        source = self.write("gate.log", log)
        page = os.path.join(self.work, "report.html")
        code, _, err = support.run([REPORT, "--source-root", self.tree.root, "-o", page, "--baseline",
                                    os.path.join(self.tree.root, "known.baseline"), source], cwd=self.work,
                                   env=dict(os.environ, SKERRY_LINT_GATE=support.GATE))
        self.assertEqual(code, 0, err)
        self.assertIn("--jsonl", err)
        self.driver.get("file://" + page)
        alert = self.driver.find_element(By.ID, "filtered").text
        self.assertIn("--jsonl", alert)
        self.assertIn("Skerry_Lint PATH", alert)

    def test_capped_list_and_incomplete_run(self):
        # Many files, more violations than the list may hold, a folder whose
        # name starts like the file before it, hostile text in a path, and no
        # closing line.
        lines = ["Searching for rule violations in : \"big\""]
        for number in range(300):
            lines += ["big/d%d/M%d.c(%d): error style: v%d does not fit: ^M[_]uc[A-Za-z0-9_#]+$"
                      % (number % 7, number, i, i) for i in range(1, 11)]
        lines += ["big/x.c(%d): error style: v does not fit: ^x[_]uc[A-Za-z0-9_#]+$" % i for i in range(1, 13)]
        lines += ["big/x.c(1)/y.c(%d): error style: v does not fit: ^y[_]uc[A-Za-z0-9_#]+$" % i for i in (1, 2)]
        lines.append("big/</script><!--<script>.c(1): error style: MAX does not fit: ^[_]*X[_][A-Z0-9_#]+$")
        source = self.write("big.out", "\n".join(lines) + "\n")
        self.open_report("--max-rows", "500", expected_code=1, source=source)
        self.assertIn("did not complete", self.driver.find_element(By.ID, "incomplete").text)
        self.assertEqual(self.value("count-total"), 3015)
        note = self.driver.find_element(By.ID, "sample-note")
        listed = int(self.driver.find_element(By.ID, "list-count").get_attribute("data-matching"))
        self.assertLessEqual(listed, 500)
        self.assertEqual(int(note.get_attribute("data-left-out")), 3015 - listed)
        self.assertIn("left out", note.text)
        # Every folder keeps rows in the list, and its complete count above.
        self.driver.find_element(By.ID, "filter-folder").send_keys("big/d3")
        self.assertTrue(self.listed())
        for folder, count in (("big/d3", 430), ("big/x.c", 12), ("big/x.c(1)", 2)):
            cell = self.driver.find_element(By.CSS_SELECTOR, '#folder-table tr[data-path="%s"] td[data-value]' % folder)
            self.assertEqual(int(cell.get_attribute("data-value")), count, folder)
        self.clear_filters()
        self.driver.find_element(By.ID, "filter-text").send_keys("<!--")
        self.assertEqual(self.listed(), [("big/</script><!--<script>.c", 1, "macro-name-form")])

    def test_exit_codes(self):
        # One run per path, as the gate writes them: each must end with the closing line.
        runs = [support.checker_output(self.tree.root, [folder]) for folder in ("a&b", "v(2)")]
        argument_error = support.run([support.CHECKER, "nosuch"], cwd=self.tree.root)[1]
        missing = os.path.join(self.work, "missing.out")
        cases = [
            ([self.write("two.out", "".join(runs))], 0),
            ([self.write("cut.out", runs[0] + runs[1][:runs[1].index("Operation Finsh")])], 1),
            ([self.write("error.out", argument_error + runs[1])], 1),
            (["--max-rows", "-1", self.input], 2),
            (["--no-such-option", self.input], 2),
            ([missing], 3),
            (["--baseline", missing, self.input], 3),
            (["--baseline", self.input, self.write("gate.jsonl", '{"kind":"summary","completed":true}\n')], 2),
            ([self.write("other.jsonl", '{"kind":"summary"}\n')], 3),
            (["-o", os.path.join(missing, "report.html"), self.input], 3),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                code, out, err = support.run([REPORT, "-o", os.path.join(self.work, "exit.html"), *args], cwd=self.work,
                                             env=dict(os.environ, SKERRY_LINT_GATE=support.GATE or "no-such-gate"))
                self.assertEqual(code, expected, err)
                if expected:
                    self.assertTrue(err.startswith("skerry-lint-report: ") or "usage: skerry-lint-report" in err, err)
        # A gate that cannot be run.
        code, _, err = support.run([REPORT, "-o", os.path.join(self.work, "exit.html"), "--baseline", self.input,
                                    self.input], cwd=self.work, env=dict(os.environ, SKERRY_LINT_GATE="no-such-gate"))
        self.assertEqual(code, 3)
        self.assertIn("SKERRY_LINT_GATE", err)


if __name__ == "__main__":
    unittest.main()
