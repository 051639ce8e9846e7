"""The problem matchers of contrib/ (GitHub Actions, VS Code, Vim) on real
checker output: every diagnostic line gives its path, line and message, and
no other line of the output is taken for a diagnostic."""

import json
import os
import re
import unittest

import support


def vim_errorformat_to_regexes(errorformat):
    """The formats of a Vim 'errorformat' as (regex, ignore) pairs, translated
    the way Vim does for the items used here: %f followed by a literal
    character matches lazily up to it, %l digits, %m and %.%# any text, and
    %-G makes a format that drops the line."""
    formats = re.split(r"(?<!\\),", errorformat)
    translated = []
    for fmt in formats:
        ignore = fmt.startswith("%-G")
        if ignore:
            fmt = fmt[3:]
        pattern = ""
        i = 0
        groups = []
        while i < len(fmt):
            if fmt.startswith("%f", i):
                pattern += "(.+?)" if i + 2 < len(fmt) else "(.+)"
                groups.append("file")
                i += 2
            elif fmt.startswith("%l", i):
                pattern += r"(\d+)"
                groups.append("line")
                i += 2
            elif fmt.startswith("%m", i):
                pattern += "(.+)"
                groups.append("message")
                i += 2
            elif fmt.startswith("%.%#", i):
                pattern += ".*"
                i += 4
            elif fmt.startswith("\\", i):
                pattern += re.escape(fmt[i + 1])
                i += 2
            elif fmt[i] == "%":
                raise ValueError("format item not covered by this test: " + fmt[i:i + 2])
            else:
                pattern += re.escape(fmt[i])
                i += 1
        translated.append((re.compile("^" + pattern + "$"), ignore, groups))
    return translated


def read_json(*relative):
    with open(os.path.join(support.CONTRIB, *relative), encoding="utf-8") as source:
        return json.load(source)


def matcher_parser(pattern):
    """A line parser for a GitHub or VS Code pattern object."""
    regexp = re.compile(pattern["regexp"])

    def parse(line):
        found = regexp.search(line)
        if not found:
            return None
        return found.group(pattern["file"]), int(found.group(pattern["line"])), found.group(pattern["message"])

    return parse


def vim_parser():
    with open(os.path.join(support.CONTRIB, "vim", "compiler", "skerry_lint.vim"), encoding="utf-8") as source:
        settings = [line for line in source if line.startswith("CompilerSet errorformat=")]
    assert len(settings) == 1, settings
    formats = vim_errorformat_to_regexes(settings[0].rstrip("\n").split("=", 1)[1])

    def parse(line):
        for regex, ignore, groups in formats:
            found = regex.match(line)
            if found:
                if ignore:
                    return None
                values = dict(zip(groups, found.groups()))
                return values["file"], int(values["line"]), values["message"]
        return None

    return parse


class MatcherTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        tree = support.Tree()
        try:
            cls.output = support.checker_output(tree.root)
        finally:
            tree.remove()

    def check_parser(self, parse):
        parsed = []
        for line in self.output.split("\n"):
            result = parse(line)
            if result is not None:
                parsed.append(result)
        expected = [(path, line, message) for path, line, message, _ in support.DIAGNOSTICS]
        self.assertEqual(sorted(parsed), sorted(expected))

    def test_github_problem_matcher(self):
        matcher = read_json("github", "skerry-lint-problem-matcher.json")["problemMatcher"]
        self.assertEqual(len(matcher), 1)
        self.assertEqual(matcher[0]["severity"], "error")
        self.assertEqual(len(matcher[0]["pattern"]), 1)
        self.check_parser(matcher_parser(matcher[0]["pattern"][0]))

    def test_vscode_task_problem_matcher(self):
        task = read_json("vscode", "tasks.json")["tasks"][0]
        self.assertEqual(task["command"], "Skerry_Lint")
        matcher = task["problemMatcher"]
        self.assertEqual(matcher["fileLocation"][0], "autoDetect")
        self.check_parser(matcher_parser(matcher["pattern"]))

    def test_vim_errorformat(self):
        self.check_parser(vim_parser())


if __name__ == "__main__":
    unittest.main()
