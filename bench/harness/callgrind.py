"""Reads a callgrind profile: each function's own and inclusive cost and how
often it was called, so the harness can tell instructions per call of the
few functions it cares about without callgrind_annotate's text layout."""

import collections
import re

_NAMED = re.compile(r"^\((\d+)\)(?: (.*))?$")


class Profile:
    def __init__(self):
        self.events = []
        self.totals = None
        self.self_cost = collections.Counter()
        # (caller, callee) -> [calls, inclusive cost of those calls]
        self.arcs = collections.defaultdict(lambda: [0, 0])

    def calls(self, name):
        return sum(c for (_, callee), (c, _) in self.arcs.items() if callee == name)

    def inclusive(self, name):
        """Own cost plus that of everything it called. A function that
        calls itself is counted once, not once per level."""
        return self.self_cost[name] + sum(
            cost for (caller, callee), (_, cost) in self.arcs.items()
            if caller == name and callee != name)

    def arc_cost(self, caller, callee):
        return self.arcs.get((caller, callee), [0, 0])[1]

    def total(self):
        return self.totals if self.totals is not None else sum(self.self_cost.values())

    def find(self, pattern):
        """Function names matching a regular expression."""
        rx = re.compile(pattern)
        return sorted(n for n in _names(self) if rx.search(n))


def _names(profile):
    names = set(profile.self_cost)
    for caller, callee in profile.arcs:
        names.add(caller)
        names.add(callee)
    return names


def parse(path, event="Ir"):
    """Parses a callgrind output file, keeping one event (Ir by default)."""
    profile = Profile()
    names = {}  # compressed function names: id -> name
    npositions = 1
    event_index = 0
    fn = None
    pending_call = None  # (callee, count) waiting for its cost line
    cfn = None

    def resolve(text):
        m = _NAMED.match(text)
        if not m:
            return text
        ident, name = m.groups()
        if name is not None:
            names[ident] = name
            return name
        return names.get(ident, f"({ident})")

    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            head = line[0]
            if head.isdigit() or head in "+-*":
                fields = line.split()
                values = fields[npositions:]
                cost = int(values[event_index]) if len(values) > event_index else 0
                if pending_call is not None:
                    callee, count = pending_call
                    arc = profile.arcs[(fn, callee)]
                    arc[0] += count
                    arc[1] += cost
                    pending_call = None
                else:
                    profile.self_cost[fn] += cost
                continue
            key, _, value = line.partition("=")
            if key == "fn":
                fn = resolve(value)
            elif key == "cfn":
                cfn = resolve(value)
            elif key == "calls":
                pending_call = (cfn, int(value.split()[0]))
            elif key in ("fl", "fi", "fe", "ob", "cob", "cfi", "cfl", "jump", "jcnd"):
                pass  # files, objects and jumps: functions are told by name alone
            else:
                key, _, value = line.partition(":")
                if key == "positions":
                    npositions = len(value.split())
                elif key == "events":
                    profile.events = value.split()
                    if event not in profile.events:
                        raise ValueError(f"{path}: no {event} events in {profile.events}")
                    event_index = profile.events.index(event)
                elif key in ("totals", "summary"):
                    profile.totals = int(value.split()[event_index])
    return profile
