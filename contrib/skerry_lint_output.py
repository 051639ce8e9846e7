"""Reading the output of Skerry_Lint: diagnostic lines, the kind of each
message, the run's own lines, and the baseline file of skerry-lint-gate.

Shared by the commands of contrib/ (gate, converters, report). They find it
beside themselves in the source tree, or in share/skerry-lint/python below
the installation prefix. Python 3 standard library only.

Every function streams: the output of a whole kernel tree is about 1 GB.
"""

import re

# The path is everything before the first "(digits): error style: ". On
# Windows no file name can hold a colon, so the first such text ends the path
# even when a message quotes text that looks like one.
DIAGNOSTIC = re.compile(r"^(.*?)\((\d+)\): error style: (.*)$", re.DOTALL)
DIAGNOSTIC_BYTES = re.compile(rb"^(.*?)\((\d+)\): error style: (.*)$", re.DOTALL)
BANNER = re.compile(r"^(\S+) version (\d+\.\d+) from ")
SEARCH_LINE = re.compile(r'^Searching for rule violations in : "(.*)"$', re.DOTALL)
PROGRESS_LINE = re.compile(r'^Reading File : "(.*)" size: (\d+) lines$', re.DOTALL)
CLOSING_LINE = "Operation Finsh"
ARGUMENT_ERROR = "argument error :"
RUN_ABORTED = "run aborted : "

# The five message forms of the checker, as rule ids, with the text that tells
# them apart; "name-form" and "macro-name-form" share the form
# "NAME does not fit: PATTERN" (a macro's pattern starts with "^[_]*").
KINDS = [
    "filename-double-upper",
    "filename-characters",
    "enum-members-upper-case",
    "array-list-postfix",
    "macro-name-form",
    "name-form",
]


def kind_of(message):
    """The rule id of a diagnostic message (one of KINDS)."""
    if message == "two upper case letters in filename are not allowed":
        return "filename-double-upper"
    if message == "only letters and numbers are allowed for filename":
        return "filename-characters"
    if message.endswith(" have to be uppercase!") and " in enum " in message:
        return "enum-members-upper-case"
    if message.endswith(" needs to have array postfix '_List' in name!"):
        return "array-list-postfix"
    if " does not fit: ^[_]*" in message:
        return "macro-name-form"
    return "name-form"


def decode(raw):
    """Text of an output line read as bytes: UTF-8, other bytes kept as
    surrogates so that encode(raw) gives them back unchanged."""
    return raw.decode("utf-8", "surrogateescape")


def encode(text):
    """The bytes of a text made by decode()."""
    return text.encode("utf-8", "surrogateescape")


def clean_text(text):
    """Text fit for JSON or HTML: bytes that were not UTF-8 become U+FFFD."""
    return encode(text).decode("utf-8", "replace")


def strip_line_end(raw):
    """An output line without its line feed (and a carriage return before
    it, as written on Windows)."""
    if raw.endswith(b"\n"):
        raw = raw[:-1]
    if raw.endswith(b"\r"):
        raw = raw[:-1]
    return raw


def parse_diagnostic(line):
    """(path, line number, message) of a diagnostic line (text without its
    line end), or None for any other line."""
    found = DIAGNOSTIC.match(line)
    if not found:
        return None
    return found.group(1), int(found.group(2)), found.group(3)


def read_lines(stream):
    """The lines of a binary stream as texts without line ends, one at a
    time."""
    for raw in stream:
        yield decode(strip_line_end(raw))


class RunSummary:
    """What the checker's own lines tell about a run: its root, the files and
    lines read, and how it ended. Feed every line that is not a diagnostic."""

    def __init__(self):
        self.name = "Skerry_Lint"
        self.version = None
        self.root = None
        self.files = 0
        self.lines = 0
        self.completed = False
        self.argument_error = None
        self.aborted = None

    def feed(self, line):
        if self.version is None:
            banner = BANNER.match(line)
            if banner:
                self.name, self.version = banner.group(1), banner.group(2)
                return
        if line == CLOSING_LINE:
            self.completed = True
            return
        if self.root is None:
            search = SEARCH_LINE.match(line)
            if search:
                self.root = search.group(1).replace('&"', '"').replace("&&", "&")
                return
        # A file that cannot be read leaves its progress text unterminated, so
        # the next progress text may follow on the same line.
        if "Reading File : " in line:
            for piece in line.split("Reading File : ")[1:]:
                progress = PROGRESS_LINE.match("Reading File : " + piece)
                if progress:
                    self.files += 1
                    self.lines += int(progress.group(2))
            return
        if line.startswith(ARGUMENT_ERROR):
            self.argument_error = line
        elif line.startswith(RUN_ABORTED):
            self.aborted = line


def normal_path(path):
    """A path as printed (bytes) without its leading "./" (one or more): the
    form in which baselines record and compare paths, so that the roots "."
    and "src" give the same entries."""
    while path.startswith(b"./"):
        path = path[2:]
    return path


# The baseline of skerry-lint-gate: a text file, one entry per line,
#
#   COUNT<TAB>PATH<TAB>MESSAGE
#
# sorted by path, then message (as UTF-8 bytes), after comment lines that
# start with "#". PATH is the path as printed without a leading "./"; COUNT
# is how many diagnostics with that path and message the run had; line
# numbers are left out so that editing code above a known violation does not
# make it new. In PATH and MESSAGE a backslash, tab, line feed and carriage
# return are written \\, \t, \n and \r.
BASELINE_HEADER = (
    "# Skerry_Lint baseline: known naming violations, written by skerry-lint-gate --write-baseline.\n"
    "# count<TAB>path<TAB>message; line numbers are left out on purpose.\n"
)
_ESCAPES = {"\\": "\\\\", "\t": "\\t", "\n": "\\n", "\r": "\\r"}


def _escape(text):
    return "".join(_ESCAPES.get(c, c) for c in text) if any(c in text for c in _ESCAPES) else text


class BaselineError(Exception):
    """A baseline file that cannot be read or does not have the format."""


_ESCAPED_BYTES = re.compile(rb"\\(.)", re.DOTALL)
_UNESCAPES_BYTES = {b"\\": b"\\", b"t": b"\t", b"n": b"\n", b"r": b"\r"}


def _unescape_bytes(field):
    if b"\\" not in field:
        return field
    return _ESCAPED_BYTES.sub(lambda m: _UNESCAPES_BYTES.get(m.group(1), m.group(0)), field)


def _escape_bytes(field):
    if b"\\" not in field and b"\t" not in field and b"\n" not in field and b"\r" not in field:
        return field
    return field.replace(b"\\", b"\\\\").replace(b"\t", b"\\t").replace(b"\n", b"\\n").replace(b"\r", b"\\r")


def iter_baseline(source, name="baseline", first=1):
    """(path, message, count) of each entry of a baseline read from the binary
    stream source, as bytes, in the order of the file; name and the number of
    the first line are used in errors. Raises BaselineError."""
    for number, raw in enumerate(source, first):
        if raw.endswith(b"\n"):
            raw = raw[:-1]
        if raw.endswith(b"\r"):
            raw = raw[:-1]
        if not raw or raw[:1] == b"#":
            continue
        fields = raw.split(b"\t")
        if len(fields) != 3 or not fields[0].isdigit():
            raise BaselineError("%s:%d: not a baseline entry (count<TAB>path<TAB>message)" % (name, number))
        yield _unescape_bytes(fields[1]), _unescape_bytes(fields[2]), int(fields[0])


def baseline_line(path, message, count):
    """One baseline entry as bytes, for path and message given as bytes."""
    return b"%d\t%s\t%s\n" % (count, _escape_bytes(path), _escape_bytes(message))


def read_baseline(path):
    """{(path, message): count} of a baseline file. Raises BaselineError."""
    entries = {}
    try:
        with open(path, "rb") as source:
            for entry_path, message, count in iter_baseline(source, path):
                key = (decode(entry_path), decode(message))
                entries[key] = entries.get(key, 0) + count
    except OSError as error:
        raise BaselineError("cannot read baseline %s: %s" % (path, error.strerror or error)) from error
    return entries


def baseline_text(entries):
    """The text of a baseline file for {(path, message): count}, sorted so
    that it is the same from run to run."""
    keys = sorted((k for k, count in entries.items() if count > 0), key=lambda k: (encode(k[0]), encode(k[1])))
    return BASELINE_HEADER + "".join("%d\t%s\t%s\n" % (entries[k], _escape(k[0]), _escape(k[1])) for k in keys)
