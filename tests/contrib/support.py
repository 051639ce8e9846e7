"""Shared parts of the tests of contrib/: a tree whose checker output holds
diagnostics for paths with blanks, ampersands and parentheses, and for line
0, and the diagnostics that output must hold."""

import json
import os
import shutil
import subprocess
import tempfile
import time

CHECKER = os.environ["SKERRY_LINT_BINARY"]
GATE = os.environ.get("SKERRY_GATE_BINARY", "")  # the compiled gate
SOURCE_DIR = os.environ["SKERRY_SOURCE_DIR"]
CONTRIB = os.path.join(SOURCE_DIR, "contrib")

# File path below the tree root -> content.
TREE = {
    "dir with blanks/R&D Led.c": "uint8 ucCount;\nvoid f(void);\n",
    "a&b/CAN_Bus.c": (
        "#define MAX 1\n"
        "typedef enum CAN_enumMode_tag { Off, On } CAN_Mode_t;\n"
        "uint8 CAN_ucBuf[4];\n"
        "void CAN_Init(void);\n"
    ),
    "v(2)/Led.c": "uint8 x;\nvoid Led_Init(void);\n",
    "ok/Good.c": "uint8 Good_ucCount;\nvoid Good_Init(void);\n",
}

# (path, line, message, rule id) of every diagnostic of the tree, checked
# with the root "." from the tree's root.
DIAGNOSTICS = [
    ("./dir with blanks/R&D Led.c", 0, "only letters and numbers are allowed for filename", "filename-characters"),
    ("./dir with blanks/R&D Led.c", 1, "ucCount does not fit: ^R&D Led[_]uc[A-Za-z0-9_#]+$", "name-form"),
    ("./dir with blanks/R&D Led.c", 2, "f does not fit: ^R&D Led[_][A-Za-z0-9_#]+$", "name-form"),
    ("./a&b/CAN_Bus.c", 0, "two upper case letters in filename are not allowed", "filename-double-upper"),
    ("./a&b/CAN_Bus.c", 1, "MAX does not fit: ^[_]*CAN[_][A-Z0-9_#]+$", "macro-name-form"),
    ("./a&b/CAN_Bus.c", 2, " Off, On  in enum CAN_enumMode_tag have to be uppercase!", "enum-members-upper-case"),
    ("./a&b/CAN_Bus.c", 3, "CAN_ucBuf needs to have array postfix '_List' in name!", "array-list-postfix"),
    ("./v(2)/Led.c", 1, "x does not fit: ^Led[_]uc[A-Za-z0-9_#]+$", "name-form"),
]


class Tree:
    """The tree above in a temporary folder."""

    def __init__(self, files=None):
        self.root = tempfile.mkdtemp(prefix="skerry-contrib-")
        for relative, content in (TREE if files is None else files).items():
            path = os.path.join(self.root, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as out:
                out.write(content)

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


def run(command, cwd, env=None, stdin=None):
    """Runs a command; gives (exit code, stdout text, stderr text)."""
    completed = subprocess.run(command, cwd=cwd, env=env, input=stdin, capture_output=True, timeout=120)
    return completed.returncode, completed.stdout.decode("utf-8"), completed.stderr.decode("utf-8")


def checker_output(root, args=(".",)):
    code, out, err = run([CHECKER, *args], cwd=root)
    assert code == 0 and err == "" and out.endswith("Operation Finsh\n"), (code, out, err)
    return out


# git without the user's or the system's configuration, with a fixed author.
GIT_ENV = dict(
    os.environ,
    GIT_CONFIG_GLOBAL=os.devnull,
    GIT_CONFIG_NOSYSTEM="1",
    GIT_AUTHOR_NAME="Test",
    GIT_AUTHOR_EMAIL="test@example.org",
    GIT_COMMITTER_NAME="Test",
    GIT_COMMITTER_EMAIL="test@example.org",
)


def git(root, *args):
    """Runs git in root; gives its standard output."""
    return subprocess.run(["git", *args], cwd=root, env=GIT_ENV, check=True, capture_output=True).stdout.decode()


def write(root, relative, content):
    """Writes a file below root, creating its folders."""
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write(content)


def git_tree(files):
    """A Tree whose files are committed to a new git repository."""
    tree = Tree(files)
    git(tree.root, "init", "-q")
    git(tree.root, "add", "-A")
    git(tree.root, "commit", "-q", "-m", "start")
    return tree


def records(path):
    """The records of a JSON Lines file of the gate (--jsonl)."""
    with open(path, encoding="utf-8") as source:
        return [json.loads(line) for line in source]


def diagnostic_lines(out):
    """The diagnostic lines of an output, in order."""
    return [line for line in out.splitlines() if "): error style: " in line]


def gone(pid, seconds=10):
    """Whether the process pid ends (or is a zombie) within seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with open("/proc/%d/stat" % pid, encoding="utf-8") as source:
                if source.read().rsplit(")", 1)[1].split()[0] == "Z":
                    return True
        except FileNotFoundError:
            return True
        time.sleep(0.05)
    return False


def classified_tree():
    """The tree above with a waived line, its checker output, and the gate's
    JSON Lines (--jsonl) against a baseline of every diagnostic but those of
    v(2)/Led.c plus 2 of a file that is gone: (tree, output, JSON Lines
    file). Needs GATE."""
    tree = Tree(dict(TREE, **{"w/Waived.c": "void w1(void); /* skerry-lint: allow */\n"}))
    entries = sorted((path[2:], message) for path, _, message, _ in DIAGNOSTICS if path != "./v(2)/Led.c")
    write(tree.root, "known.baseline", "".join("1\t%s\t%s\n" % entry for entry in entries)
          + "2\tzz/Gone.c\tz does not fit: ^Gone[_]uc[A-Za-z0-9_#]+$\n")
    jsonl = os.path.join(tree.root, "gate.jsonl")
    code, _, err = run([GATE, "--baseline", "known.baseline", "--jsonl", jsonl, "."], cwd=tree.root)
    assert code == 1, err
    return tree, checker_output(tree.root), jsonl
