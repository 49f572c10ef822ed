#!/usr/bin/env python3
"""Fails when a header under src/ declares functions or globals defined in a source file
other than its own (x.h belongs to x.cpp; platform.h to the platform_*.cpp of each system),
or when a source file declares a function that another source file defines.

Headers that hold only records, constants and inline helpers need no source file.
Usage: tools/check_header_owners.py [-v]   (-v lists every header with its owners)
"""
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
NOT_DECLARATIONS = ("typedef", "using", "static", "constexpr", "inline", "template", "friend",
                    "static_assert", "enum", "struct", "class", "union", "return")


def strip(text):
    """The text without comments, literals and preprocessor lines (newlines kept)."""
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group().count("\n"), text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    text = re.sub(r'"(\\.|[^"\\\n])*"', '""', text)
    text = re.sub(r"'(\\.|[^'\\\n])*'", "''", text)
    return re.sub(r"^\s*#[^\n]*(\\\n[^\n]*)*", "", text, flags=re.M)


def skip_braces(text, i):
    """The index after the brace block that opens at text[i]."""
    depth = 0
    while i < len(text):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1
    return i


def declarator_names(statement):
    """The names a variable statement declares: `int a, b[2] = {..}` gives a and b."""
    names, depth, piece = [], 0, ""
    for c in statement + ",":
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        if c == "," and depth == 0:
            head = re.split(r"[=\[{(]", piece)[0]
            found = re.findall(r"[A-Za-z_]\w*", head)
            if found:
                names.append(found[-1])
            piece = ""
        else:
            piece += c
    return names


def scan(text):
    """Top-level (declared functions, declared globals, defined functions, defined globals)
    of one file; anything inside an anonymous namespace is private to the file."""
    declared, externs, defined, variables = set(), set(), set(), set()

    def walk(body, private):
        i, start = 0, 0
        while i < len(body):
            c = body[i]
            if c == ";":
                statement = " ".join(body[start:i].split())
                start = i + 1
                i += 1
                first = statement.split(" ")[0] if statement else ""
                if not statement or first in NOT_DECLARATIONS or private:
                    continue
                if first == "extern":
                    externs.update(declarator_names(statement[len("extern"):]))
                elif "(" in statement.split("=")[0]:
                    name = re.findall(r"([A-Za-z_]\w*)\s*\(", statement)
                    if name:
                        declared.add(name[0])
                else:
                    variables.update(declarator_names(statement))
            elif c == "{":
                head = " ".join(body[start:i].split())
                end = skip_braces(body, i)
                if re.fullmatch(r"namespace( \w+)?|extern \"\"", head):
                    walk(body[i + 1:end - 1], private or head == "namespace")
                    start = i = end
                    continue
                if "=" in head.split("(")[0]:  # an initialised global: `int t[2] = {..};`
                    i = end
                    continue
                first = head.split(" ")[0] if head else ""
                if first in NOT_DECLARATIONS or private or not head:
                    pass
                elif "(" in head:
                    name = re.findall(r"([A-Za-z_]\w*)\s*\(", head)
                    if name:
                        defined.add(name[0])
                else:  # a global with a braced initialiser: `std::atomic<int> x{0};`
                    variables.update(declarator_names(head))
                start = i = end
                while i < len(body) and body[i] in " \t\n":
                    i += 1
                if i < len(body) and body[i] == ";":  # the end of a record: struct X {..};
                    start = i = i + 1
                continue
            else:
                i += 1

    walk(text, False)
    return declared, externs, defined, variables


def main():
    verbose = "-v" in sys.argv
    os.chdir(ROOT)
    headers, sources = {}, {}
    for folder, _, files in os.walk("src"):
        for name in files:
            path = os.path.join(folder, name)
            if name.endswith(".h"):
                headers[path] = scan(strip(open(path).read()))
            elif name.endswith(".cpp"):
                sources[path] = scan(strip(open(path).read()))
    definers = defaultdict(set)
    for path, (_, _, defined, variables) in sources.items():
        for name in defined | variables:
            definers[name].add(path)

    status = 0
    for header in sorted(headers):
        declared, externs, _, _ = headers[header]
        owners = defaultdict(list)
        for name in sorted(declared | externs):
            for source in definers.get(name, ()):
                owners[source].append(name)
        stem = header[:-2]
        allowed = {stem + ".cpp"}
        if os.path.basename(stem) == "platform":
            allowed = {p for p in sources if os.path.dirname(p) == os.path.dirname(stem)
                       and os.path.basename(p).startswith("platform_")}
        strangers = {s: n for s, n in owners.items() if s not in allowed}
        if strangers or verbose:
            print(("" if not strangers else "not owned: ") + header)
            for source in sorted(owners):
                print("    %-34s %s" % (source, " ".join(owners[source])))
        if strangers:
            status = 1
        for name in sorted((declared | externs) - set(definers)):
            print("%s declares %s, defined nowhere" % (header, name))
            status = 1
    for source in sorted(sources):
        declared = sources[source][0]
        for name in sorted(declared):
            others = definers.get(name, set()) - {source}
            if others:
                print("%s declares %s, defined in %s" % (source, name, " ".join(sorted(others))))
                status = 1
    if status == 0:
        print("headers: each declares only what its own source file defines")
    return status


if __name__ == "__main__":
    sys.exit(main())
