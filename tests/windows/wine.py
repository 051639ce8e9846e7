"""Running the Windows checker under wine, and its output in the form the
Linux checker gives, so that one can be compared with the other.

The Windows checker writes CR LF line ends, joins entry paths with
backslashes and lists a folder's entries in the file system's order; the
translation undoes the first two on the paths it prints, and the canonical
form leaves the order of the entries within a folder aside."""

import os
import re
import shutil
import subprocess
import tempfile

WINDOWS_CHECKER = os.environ["SKERRY_WINDOWS_CHECKER"]
LINUX_CHECKER = os.environ.get("SKERRY_LINUX_CHECKER", "")
WINE_RUN = os.environ["SKERRY_WINE_RUN"]
SOURCE_DIR = os.environ["SKERRY_SOURCE_DIR"]

DATE = re.compile(rb"[A-Z][a-z]{2} [ 0-9]\d \d{4}$", re.M)
DIAGNOSTIC = re.compile(rb"^(.*)(\(-?\d+\): error style: .*)$", re.S)
QUOTED_LINE = re.compile(rb'^(Searching for rule violations in : |Link cycle not followed : |'
                         rb'Cannot read directory : |Cannot determine type : )(".*)$', re.S)
PROGRESS_ITEM = re.compile(rb'Reading File : "(?:[^"&]|&.)*"(?: size: \d+ lines\n)?|[^\n]*\n')


def run_windows(args, cwd, program=WINDOWS_CHECKER, env=None):
    """Runs program (a .exe) under wine in cwd; gives (exit code, stdout bytes, stderr bytes)."""
    completed = subprocess.run([WINE_RUN, program] + list(args), cwd=cwd, capture_output=True, timeout=600,
                               env=env)
    return completed.returncode, completed.stdout, completed.stderr


def run_linux(args, cwd):
    completed = subprocess.run([LINUX_CHECKER] + list(args), cwd=cwd, capture_output=True, timeout=600)
    return completed.returncode, completed.stdout, completed.stderr


def lines_end_in_crlf(output):
    """Whether every line feed of output is preceded by a carriage return."""
    return output.count(b"\n") == output.count(b"\r\n")


def to_linux_form(output):
    """The Windows checker's output with LF line ends and slashes in the
    paths it prints (diagnostic paths, search line, notices)."""
    lines = []
    for line in output.replace(b"\r\n", b"\n").split(b"\n"):
        match = DIAGNOSTIC.match(line) or QUOTED_LINE.match(line)
        if match and match.re is DIAGNOSTIC:
            line = match.group(1).replace(b"\\", b"/") + match.group(2)
        elif match:
            line = match.group(1) + match.group(2).replace(b"\\", b"/")
        lines.append(line)
    return b"\n".join(lines)


def mask_dates(output):
    return DATE.sub(b"<DATE>", output)


def canonical(output):
    """Output in a form without the order of entries within a folder: the
    lines before the progress lines, the progress lines and notices sorted,
    the diagnostics grouped by path (each path's lines in their order),
    sorted by path, and the closing lines."""
    output = mask_dates(output)
    head_end = output.find(b"\n", output.find(b"Searching for rule violations in : ")) + 1
    if head_end == 0:
        return (output,)  # an argument error: compared as it is
    body_end = output.find(b"\n\n", head_end - 1)
    if body_end < 0:
        return (output,)
    progress = sorted(PROGRESS_ITEM.findall(output[head_end:body_end + 1]))
    groups = {}
    tail = []
    for line in output[body_end + 2:].split(b"\n"):
        match = DIAGNOSTIC.match(line)
        if match:
            groups.setdefault(match.group(1), []).append(line)
        else:
            tail.append(line)
    return (output[:head_end], progress, sorted(groups.items()), tail)


class Tree:
    """Files in a temporary folder: {relative path: bytes or str}."""

    def __init__(self, files=None):
        self.root = tempfile.mkdtemp(prefix="skerry-windows-")
        for relative, content in (files or {}).items():
            self.write(relative, content)

    def path(self, relative):
        return os.path.join(self.root, relative)

    def write(self, relative, content):
        path = self.path(relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(content.encode("utf-8") if isinstance(content, str) else content)

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)
