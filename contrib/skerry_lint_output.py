"""Reading the output of Skerry_Lint: diagnostic lines, the kind of each
message, and the run's own lines.

Shared by the commands of contrib/ (converters, report). They find it
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


MARK = b"): error style: "


def split_diagnostic(raw):
    """(path, line number digits, message) of a diagnostic line given as
    bytes without its line end, or None for any other line."""
    at = raw.find(MARK)
    if at > 0:
        opening = raw.rfind(b"(", 0, at)
        if opening >= 0 and raw[opening + 1:at].isdigit():
            return raw[:opening], raw[opening + 1:at], raw[at + len(MARK):]
    found = DIAGNOSTIC_BYTES.match(raw)
    return found.groups() if found else None


def blocks(stream, size=1 << 22):
    """The whole lines of a binary stream in blocks of about size bytes (the
    last one may lack its line feed). A block is what one read gives, so that
    lines written slowly into a pipe come as soon as they are written."""
    read = getattr(stream, "read1", stream.read)
    rest = b""
    while True:
        chunk = read(size)
        if not chunk:
            break
        cut = chunk.rfind(b"\n") + 1
        if cut:
            yield rest + chunk[:cut] if rest else chunk[:cut]
            rest = chunk[cut:]
        else:
            rest += chunk
    if rest:
        yield rest


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
    """A path as printed (bytes) without its leading "./" (one or more), so
    that the roots "." and "src" give the same paths."""
    while path.startswith(b"./"):
        path = path[2:]
    return path
