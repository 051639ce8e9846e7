"""Reading the output of Skerry_Lint: diagnostic lines, the kind of each
message, the run's own lines, and the baseline file of skerry-lint-gate.

Shared by the commands of contrib/ (gate, converters, report). They find it
beside themselves in the source tree, or in share/skerry-lint/python below
the installation prefix. Python 3 standard library only.

Every function streams: the output of a whole kernel tree is about 1 GB.
"""

import os
import re
import threading

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


def compile_lines(pattern):
    """The bytes pattern compiled. Each of its possessive repeats ("*+",
    "++") must end the pattern or be followed by a character it cannot take
    (".*+" by a line feed, "\\d++" by a parenthesis or a tab), so that giving
    characters back could never lead to a match; a Python without them
    (before 3.11) gets plain greedy ones: the same matches, found more
    slowly. Possessive repeats of whole groups are avoided: Python 3.11.2
    can end such a match too far."""
    try:
        return re.compile(pattern)
    except re.error:
        return re.compile(pattern.replace(b"*+", b"*").replace(b"++", b"+"))


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
_ESCAPED = re.compile(rb"\\(.)", re.DOTALL)
_UNESCAPES = {b"\\": b"\\", b"t": b"\t", b"n": b"\n", b"r": b"\r"}


class BaselineError(Exception):
    """A baseline file that cannot be read or does not have the format."""


def _unescape(field):
    if b"\\" not in field:
        return field
    return _ESCAPED.sub(lambda m: _UNESCAPES.get(m.group(1), m.group(0)), field)


def _escape(field):
    return field.replace(b"\\", b"\\\\").replace(b"\t", b"\\t").replace(b"\n", b"\\n").replace(b"\r", b"\\r")


def iter_baseline(source, name="baseline", first=1):
    """(path, message, count) of each entry of a baseline read from the binary
    stream source, as bytes, in the order of the file; name and the number of
    the first line are used in errors. Raises BaselineError."""
    for number, raw in enumerate(source, first):
        raw = strip_line_end(raw)
        if not raw or raw[:1] == b"#":
            continue
        fields = raw.split(b"\t")
        if len(fields) != 3 or not fields[0].isdigit():
            raise BaselineError("%s:%d: not a baseline entry (count<TAB>path<TAB>message)" % (name, number))
        yield _unescape(fields[1]), _unescape(fields[2]), int(fields[0])


def baseline_line(path, message, count):
    """One baseline entry as bytes, for path and message given as bytes."""
    return b"%d\t%s\t%s\n" % (count, _escape(path), _escape(message))


def baseline_text(entries):
    """The text of a baseline file for {(path, message): count} (texts made
    by decode()), sorted so that it is the same from run to run."""
    keys = sorted((encode(path), encode(message)) for (path, message), count in entries.items() if count > 0)
    return BASELINE_HEADER + "".join(decode(baseline_line(p, m, entries[decode(p), decode(m)])) for p, m in keys)


def _plain_fields(block):
    """[count, path, message, count, ..., b""] of whole baseline lines that
    are all entries of one path written alike, without escapes, or None."""
    if not block.endswith(b"\n") or b"\\" in block or b"\r" in block:
        return None
    fields = block.replace(b"\n", b"\t").split(b"\t")
    # A tab in a message shifts the fields that follow it off their places.
    counts, paths = fields[0:-1:3], fields[1::3]
    if len(fields) % 3 != 1 or paths.count(paths[0]) != len(paths) \
            or not all(counts) or not b"".join(counts).isdigit():
        return None
    return fields


# An entry counted more than once, after the line feed that ends the line
# before it.
_REPEATED = compile_lines(rb"\n(?!1\t)(\d++)(\t.*+)")


def _one_per_count(entry):
    return (b"\n1" + entry.group(2)) * int(entry.group(1))


_pread = getattr(os, "pread", None)  # not on Windows

# A run of entries of one path (two tabs a line when it is valid).
_BASELINE_RUN = compile_lines(rb"\d++\t([^\t\n]*+)\t.*+\n(?:\d++\t\1\t.*+\n)*")


class Baseline:
    """Where the entries of each path stand in a baseline file, loaded in a
    thread (call wait() before use). Memory grows with the number of paths:
    the entries themselves are read again from the file when asked for.

    paths: {normalised path: [(offset, size), ...]} of the paths not taken."""

    def __init__(self, name):
        """Raises BaselineError when the file cannot be opened."""
        self.name = name
        self.paths = {}
        self.taken = {}  # the same, of the paths taken
        self.error = None
        try:
            self.source = open(name, "rb", buffering=0)
        except OSError as error:
            raise self._error(error) from error
        self.thread = threading.Thread(target=self._load, daemon=True)
        self.thread.start()

    def _error(self, error):
        return BaselineError("cannot read baseline %s: %s" % (self.name, error.strerror or error))

    def _load(self):
        offset = 0  # of the block
        try:
            for block in blocks(self.source, 1 << 20):
                pos = 0
                while pos < len(block):
                    # A run of entries of one path at once, any other line on
                    # its own. Tabs in messages are found when the entries are
                    # read: looking for them here would double the time.
                    run = _BASELINE_RUN.match(block, pos)
                    if run is not None and b"\\" not in run.group(1):
                        self._add(normal_path(run.group(1)), offset + pos, run.end() - pos)
                        pos = run.end()
                        continue
                    end = block.find(b"\n", pos) + 1 or len(block)
                    for path, _, _ in self._parse(block[pos:end], offset + pos):
                        self._add(normal_path(path), offset + pos, end - pos)
                    pos = end
                offset += len(block)
        except BaselineError as error:
            self.error = error
        except OSError as error:
            self.error = self._error(error)

    def _parse(self, data, offset):
        """The entries of whole lines of the file that start at offset.
        Raises BaselineError, numbering the line from the start of the file
        (counted only then)."""
        try:
            return list(iter_baseline(data.splitlines(True), self.name))
        except BaselineError:
            number = 1
            for at in range(0, offset, 1 << 20):
                number += self.read([(at, min(1 << 20, offset - at))]).count(b"\n")
            return list(iter_baseline(data.splitlines(True), self.name, number))

    def _add(self, path, offset, size):
        ranges = self.paths.setdefault(path, [])
        if ranges and sum(ranges[-1]) == offset:
            ranges[-1] = (ranges[-1][0], ranges[-1][1] + size)
        else:
            ranges.append((offset, size))

    def wait(self):
        """Raises BaselineError when the file could not be read."""
        self.thread.join()
        if self.error:
            raise self.error

    def read(self, ranges):
        """The bytes of the file at ranges (once it is loaded). Processes
        forked after the load share the file's offset, so where the system
        can, the bytes are read without moving it."""
        try:
            pieces = []
            for offset, size in ranges:
                if _pread is not None:
                    pieces.append(_pread(self.source.fileno(), size, offset))
                else:
                    self.source.seek(offset)
                    pieces.append(self.source.read(size))
            return b"".join(pieces)
        except OSError as error:
            raise self._error(error) from error

    def entries(self, path):
        """(messages, counts) of the entries of path (taken or not), in the
        order of the file. The index holds paths with entries only."""
        ranges = self.taken.get(path) or self.paths[path]
        fields = _plain_fields(self.read(ranges))
        if fields is None:
            entries = [entry for offset, size in ranges for entry in self._parse(self.read([(offset, size)]), offset)]
            return [message for _, message, _ in entries], [count for _, _, count in entries]
        return fields[2::3], list(map(int, fields[0:-1:3]))

    def matches(self, path, messages):
        """Whether the entries of path are exactly these messages (bytes, in
        any order), compared with the bytes that the gate writes for them."""
        head = b"\n1\t" + path + b"\t"
        body = head.join(sorted(messages))  # the lines but the first one's start, with line feeds between
        data = self.read(self.paths[path])
        if not data.endswith(b"\n"):
            return False
        if len(data) == len(head) + len(body) and data.startswith(head[1:]) and data.startswith(body, len(head) - 1):
            return True
        # A message counted more than once: its entry written once per count.
        data, repeated = _REPEATED.subn(_one_per_count, b"\n" + data[:-1])
        return repeated > 0 and len(data) == len(head) + len(body) and data.startswith(head) \
            and data.startswith(body, len(head))

    def take(self, path):
        """{message hash: count} of path (counts of at least 1), taken out of
        paths ({} when the baseline does not hold it)."""
        if path not in self.paths:
            return {}
        messages, counts = self.entries(path)
        table = dict(zip(map(hash, messages), counts))
        if len(table) < len(messages) or 0 in counts:  # a message in more than one entry, a count of 0
            table = {}
            for h, count in zip(map(hash, messages), counts):
                table[h] = table.get(h, 0) + count
            table = {h: count for h, count in table.items() if count}
        self.taken[path] = self.paths.pop(path)
        return table

    def left(self, tables, limit):
        """Up to limit (path, message, count) of the entries still in tables
        ({path: {message hash: count}}), in the order of the file."""
        shown = []
        for path in sorted(tables):
            table = tables[path]
            for message in self.entries(path)[0]:
                count = table.pop(hash(message), 0)
                if count:
                    shown.append((path, message, count))
                    if len(shown) >= limit:
                        return shown
        return shown
