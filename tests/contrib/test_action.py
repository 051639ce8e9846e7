"""action.yml, the composite GitHub Action: its inputs and outputs, and its
steps run the way a runner runs them (bash -eo pipefail, expressions
substituted, GITHUB_PATH and GITHUB_OUTPUT files) on a small git repository.

Most cases set SKERRY_LINT to the built checker, so the build step takes the
path for a checker the job already has. The build from source takes longer
than a test of contrib/ may: it runs only with SKERRY_ACTION_BUILD=1, which
the CTest test action_build_from_source of tests/install sets."""

import json
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import unittest

import support

import yaml

ACTION = os.path.join(support.SOURCE_DIR, "action.yml")
EXPRESSION = re.compile(r"\$\{\{\s*([A-Za-z0-9_.-]+)\s*\}\}")

FILES = {
    "src/Led.c": "uint8 ucCount;\nvoid Led_Init(void);\n",
    "src/Can.c": "uint8 Can_ucCount;\nvoid Can_Init(void);\n",
    "vendor/Ext.c": "uint8 x;\nuint8 y;\n",
}


def git(repo, *args):
    subprocess.run(["git", "-c", "user.name=t", "-c", "user.email=t@example.org", *args], cwd=repo,
                   check=True, capture_output=True)


class Runner:
    """Runs the action's steps like a GitHub runner, in a workspace. Only
    bash steps without expressions in their scripts (inputs reach them
    through env, safe from injection) are allowed."""

    def __init__(self, workspace, temp, checker=support.CHECKER):
        self.workspace = workspace
        self.temp = temp
        self.checker = checker  # $SKERRY_LINT of the job; None: build from source

    def run(self, inputs):
        with open(ACTION, encoding="utf-8") as source:
            action = yaml.safe_load(source)
        assert action["runs"]["using"] == "composite"
        context = {"github.action_path": support.SOURCE_DIR, "runner.temp": self.temp}
        context.update(("inputs." + name, inputs.get(name, spec["default"])) for name, spec in action["inputs"].items())
        github_path = os.path.join(self.temp, "github_path")
        open(github_path, "w").close()
        env = {k: v for k, v in os.environ.items() if k != "SKERRY_LINT" and not k.startswith("GITHUB_")}
        env.update({"GITHUB_PATH": github_path, **({"SKERRY_LINT": self.checker} if self.checker else {})})
        log, code = "", 0
        for index, step in enumerate(action["runs"]["steps"]):
            assert (step.get("uses"), step["shell"]) == (None, "bash") and "${{" not in step["run"], step
            with open(github_path, encoding="utf-8") as added:
                path = [line.rstrip("\n") for line in added][::-1] + [os.environ["PATH"]]
            step_env = dict(env, GITHUB_OUTPUT=os.path.join(self.temp, "output_%d" % index), PATH=os.pathsep.join(path))
            open(step_env["GITHUB_OUTPUT"], "w").close()
            for name, value in step.get("env", {}).items():
                step_env[name] = EXPRESSION.sub(lambda m: context[m.group(1)], value)
            done = subprocess.run(["bash", "--noprofile", "--norc", "-eo", "pipefail", "-c", step["run"]],
                                  cwd=self.workspace, env=step_env, capture_output=True, timeout=1200)  # a build from source on a busy machine
            log += done.stdout.decode("utf-8", "replace") + done.stderr.decode("utf-8", "replace")
            with open(step_env["GITHUB_OUTPUT"], encoding="utf-8") as written:
                context.update(("steps.%s.outputs.%s" % (step.get("id"), line.split("=", 1)[0]),
                                line.rstrip("\n").split("=", 1)[1]) for line in written)
            if done.returncode != 0:
                code = done.returncode
                break
        outputs = {name: EXPRESSION.sub(lambda m: context.get(m.group(1), ""), spec["value"])
                   for name, spec in action["outputs"].items()}
        return code, outputs, log


class ActionTest(unittest.TestCase):
    def test_steps_on_a_repository(self):
        work = tempfile.mkdtemp(prefix="skerry-action-")
        try:
            repo = os.path.join(work, "repo")
            for relative, content in FILES.items():
                os.makedirs(os.path.join(repo, os.path.dirname(relative)), exist_ok=True)
                with open(os.path.join(repo, relative), "w", encoding="utf-8") as out:
                    out.write(content)
            git(repo, "init", "-q")
            git(repo, "add", ".")
            git(repo, "commit", "-q", "-m", "start")
            subprocess.run([support.GATE, "--write-baseline", "base.txt", "."], cwd=repo, capture_output=True, check=True)
            with open(os.path.join(repo, "src/Led.c"), "a", encoding="utf-8") as out:
                out.write("uint16 late;\n")  # a new violation, on a changed line
            cases = [
                # (inputs, exit code, violations, SARIF results or None)
                ({"sarif": "out.sarif"}, 1, 4, 4),
                ({"exclude": "vendor\n*.h"}, 1, 2, None),
                ({"path": "src\nvendor/Ext.c", "sarif": "out.sarif", "max-results": "2"}, 1, 4, 2),
                ({"baseline": "base.txt", "sarif": "out.sarif"}, 1, 1, 1),
                ({"changed-since": "HEAD"}, 1, 1, None),
                ({"path": "src/Can.c"}, 0, 0, None),
                ({"path": "no such dir", "sarif": "out.sarif"}, 2, 0, 0),
            ]
            for inputs, expected_code, violations, results in cases:
                with self.subTest(inputs=inputs):
                    temp = os.path.join(work, "temp")
                    shutil.rmtree(temp, ignore_errors=True)
                    os.makedirs(temp)
                    sarif = os.path.join(repo, "out.sarif")
                    if os.path.exists(sarif):
                        os.remove(sarif)
                    code, outputs, log = Runner(repo, temp).run(inputs)
                    self.assertEqual(code, expected_code, log)
                    self.assertEqual((outputs["exit-code"], outputs["violations"]),
                                     (str(expected_code), str(violations)), log)
                    matcher = re.search(r"^::add-matcher::(.*)$", log, re.MULTILINE).group(1)
                    self.assertEqual(json.load(open(matcher))["problemMatcher"][0]["owner"], "skerry-lint")
                    self.assertIn("::remove-matcher owner=skerry-lint::", log)
                    with open(outputs["log"], encoding="utf-8") as gate_output:
                        self.assertEqual(gate_output.read().count("): error style: "), violations)
                    self.assertEqual(os.path.exists(sarif), results is not None)
                    if results is not None:
                        with open(sarif, encoding="utf-8") as written:
                            run = json.load(written)["runs"][0]
                        self.assertEqual(len(run["results"]), results)
                        self.assertEqual(run["invocations"][0]["executionSuccessful"], expected_code != 2)
        finally:
            shutil.rmtree(work, ignore_errors=True)

    @unittest.skipUnless(os.environ.get("SKERRY_ACTION_BUILD") == "1", "the build takes too long for this test")
    def test_build_from_source(self):
        work = tempfile.mkdtemp(prefix="skerry-action-build-")
        try:
            repo, temp = os.path.join(work, "repo"), os.path.join(work, "temp")
            os.makedirs(os.path.join(repo, "src"))
            os.makedirs(temp)
            with open(os.path.join(repo, "src", "Led.c"), "w", encoding="utf-8") as out:
                out.write(FILES["src/Led.c"])
            code, outputs, log = Runner(repo, temp, checker=None).run({"path": "src", "sarif": "out.sarif"})
            self.assertEqual((code, outputs["violations"]), (1, "1"), log)
            prefix = os.path.join(temp, "skerry-lint")
            with open(os.path.join(temp, "github_path"), encoding="utf-8") as added:
                self.assertEqual(added.read(), os.path.join(prefix, "bin") + "\n")
            # The converter that ran is the installed one: its default
            # information URI is the README installed beside it.
            with open(os.path.join(repo, "out.sarif"), encoding="utf-8") as written:
                driver = json.load(written)["runs"][0]["tool"]["driver"]
            readme = pathlib.Path(os.path.realpath(os.path.join(prefix, "share/doc/skerry-lint/README.md"))).as_uri()
            self.assertEqual(driver["informationUri"], readme)
        finally:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
