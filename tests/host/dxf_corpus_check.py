#!/usr/bin/python3
"""Reads, resaves and draws into every drawing of a corpus written by other programs, and holds
each saved file against its original tag by tag.

An object of the original is found again by its handle, or where it has none (R12), or shares
it, by its place: the n-th of its type (and space) in its section, or its name in a table. Its
string values must come back byte for byte and its numbers as the same numbers. What the R2000
form adds to an older object (handle, owner, subclass markers) is not compared, nor the owner
of an object whose owner was no object of the file, nor the counts of table heads.

usage: dxf_corpus_check.py KELVO_DXF CORPUS_DIR WORK_DIR
Exits 77 (skipped) where the corpus is absent.
"""
import collections
import logging
import os
import re
import shutil
import subprocess
import sys
import time

import ezdxf
from ezdxf.lldxf.tagger import binary_tags_loader

logging.getLogger("ezdxf").setLevel(logging.ERROR)  # its notes on what it reads are not ours
TOOL, CORPUS, WORK = sys.argv[1:4]
if not os.path.isdir(CORPUS):
    print("no corpus at %s: skipped" % CORPUS)
    sys.exit(77)

# Refused with a reason no user's file has: the REPEAT entity of AutoCAD 2.1 (1985).
REFUSED = {"068-acad-r210-entities.dxf": "REPEAT"}


def text_code(c):
    return (0 <= c <= 9 or 100 <= c <= 105 or 300 <= c <= 369 or 390 <= c <= 399 or 410 <= c <= 419
            or 430 <= c <= 439 or 470 <= c <= 481 or c == 999 or 1000 <= c <= 1009)


def ascii_tags(data):
    lines = data.split(b"\n")
    tags = []
    for k in range(0, len(lines) - 1, 2):
        code = lines[k].strip()
        if not code:
            break
        value = lines[k + 1][:-1] if lines[k + 1].endswith(b"\r") else lines[k + 1]
        tags.append((int(code), value))
        if tags[-1] == (0, b"EOF"):
            break
    return tags


def binary_tags(data):
    out = []
    for t in binary_tags_loader(data):
        v = t.value
        if isinstance(v, bytes):
            v = v.hex().upper().encode()
        elif isinstance(v, str):
            # as the text form spells a control character and a caret
            v = re.sub(r"[\x00-\x1f^]", lambda m: "^ " if m[0] == "^" else "^" + chr(ord(m[0]) + 64), v)
            v = v.encode("utf8", "surrogateescape")
        elif isinstance(v, float):
            v = repr(v).encode()
        else:
            v = str(v).encode()
        out.append((t.code, v))
    return out


def read_tags(path):
    data = open(path, "rb").read()
    tags = binary_tags(data) if data.startswith(b"AutoCAD Binary DXF") else ascii_tags(data)
    return [t for t in tags if t[0] != 999]


def same(code, a, b):
    if text_code(code):
        return a == b
    try:
        return float(a) == float(b)
    except ValueError:
        return a.strip() == b.strip()


def sections(tags):
    """{name: [object tags]}, repeated sections joined; the HEADER as {variable: values}."""
    out = collections.OrderedDict()
    name, k = None, 0
    while k < len(tags):
        code, value = tags[k]
        if (code, value) == (0, b"SECTION"):
            name = tags[k + 1][1].decode("latin1") if k + 1 < len(tags) else ""
            out.setdefault(name, [])
            k += 2
            continue
        if (code, value) in ((0, b"ENDSEC"), (0, b"EOF")):
            name, k = None, k + 1
            continue
        if name is None:
            k += 1
            continue
        if code == 0 or not out[name] or name == "HEADER" and code == 9:
            out[name].append([])
        out[name][-1].append((code, value))
        k += 1
    return out


def handle_code(obj):
    return 105 if obj[0] == (0, b"DIMSTYLE") else 5


def handle(obj):
    for c, v in obj:
        if c == handle_code(obj):
            return v.upper()
    return None


def name_of(obj):
    for c, v in obj:
        if c == 2:  # R12's names of the spaces' blocks are R2000's
            return {b"$MODEL_SPACE": b"*MODEL_SPACE", b"$PAPER_SPACE": b"*PAPER_SPACE"}.get(v.upper(), v.upper())
    return None


def keys(objs, section, counts):
    """Each object's keys, the one to find it by first: its handle where that is unique in the
    file, its name in a table (or a block's), its place (the n-th of its type and space in the
    section)."""
    names = collections.Counter((o[0][1], name_of(o)) for o in objs)
    seen = collections.Counter()
    out = []
    for o in objs:
        kind = o[0][1].replace(b"3DLINE", b"LINE") if o else b""
        h = handle(o)
        paper = any(c == 67 and v.strip() == b"1" for c, v in o)
        seen[(kind, paper)] += 1
        own = [("h", h)] if h and re.fullmatch(rb"[0-9A-F]+", h) and int(h, 16) and counts[h] == 1 else []
        nameable = section == "TABLES" or kind == b"BLOCK"
        named = [("n", kind, name_of(o))] if nameable and name_of(o) is not None and names[(o[0][1], name_of(o))] == 1 else []
        out.append(own + named + [("p", kind, paper, seen[(kind, paper)])])
    return out


def owner_of(obj):
    """The first 330 outside the 102 groups (those hold reactors and the like)."""
    group = False
    for c, v in obj[1:]:
        if c == 102:
            group = v.startswith(b"{")
        elif c == 330 and not group:
            return v.upper()
    return None


def compare_object(orig, saved, handles, counts, faults, where):
    has = {c for c, _ in orig}
    skip = {100, 102, 330, 5, 105} - has
    h = handle(orig)
    if h is None or not re.fullmatch(rb"[0-9A-F]+", h) or not int(h, 16) or counts[h] > 1:
        skip |= {handle_code(orig)}  # a handle given anew
    owner = owner_of(orig)
    if owner is not None and owner not in handles:
        skip.add(330)  # an owner that was no object of the file
    if orig[0] == (0, b"TABLE"):
        skip.add(70)
    if orig[0][1] == b"3DLINE":
        orig = [(0, b"LINE")] + orig[1:]
    if orig[0] == (0, b"BLOCK") and name_of(orig) in (b"*MODEL_SPACE", b"*PAPER_SPACE"):
        skip |= {2, 3}
    a, b = collections.defaultdict(list), collections.defaultdict(list)
    for c, v in orig:
        if c not in skip:
            a[c].append(v)
    for c, v in saved:
        if c not in skip and c in a:
            b[c].append(v)
    for c in a:
        if len(a[c]) != len(b[c]) or not all(same(c, x, y) for x, y in zip(a[c], b[c])):
            first = next((k for k, (x, y) in enumerate(zip(a[c], b[c])) if not same(c, x, y)), min(len(a[c]), len(b[c])))
            faults.append("%s: code %d differs at its %d. value: %r / %r" % (
                where, c, first + 1, a[c][first] if first < len(a[c]) else None, b[c][first] if first < len(b[c]) else None))
            return


def compare(orig_path, saved_path, converted, said):
    """Objects found again and faults; `said` is what the tool reported leaving out."""
    faults = []
    dropped = {m.encode("utf8").upper() for m in re.findall(r"повторная запись BLOCK_RECORD «(.*)» пропущена", said)}
    o, s = sections(read_tags(orig_path)), sections(read_tags(saved_path))
    header_o = {v[0][1]: v[1:] for v in o.get("HEADER", []) if v and v[0][0] == 9}
    header_s = {v[0][1]: v[1:] for v in s.get("HEADER", []) if v and v[0][0] == 9}
    for var, values in header_o.items():
        if var in (b"$ACADVER", b"$HANDSEED") and (converted or var == b"$HANDSEED"):
            continue
        got = header_s.get(var)
        if got is None or len(got) != len(values) or not all(
                x[0] == y[0] and same(x[0], x[1], y[1]) for x, y in zip(values, got)):
            faults.append("header %s: %r / %r" % (var.decode("latin1"), values[:3], (got or [])[:3]))
    version = header_o.get(b"$ACADVER", [(1, b"")])[0][1]
    r12 = version.startswith(b"AC") and (version <= b"AC1009" or not version.startswith(b"AC1"))
    if r12:  # R12 has no place for these; what a writer put there anyway is left out, and said so
        for name in ("CLASSES", "OBJECTS"):
            o.pop(name, None)
        o["TABLES"] = [x for x in o.get("TABLES", []) if not any(
            c in (0, 2) and v == b"BLOCK_RECORD" for c, v in x[:2])]
    handles = {handle(x) for objs in o.values() for x in objs if x and handle(x)}
    counts_o = collections.Counter(handle(x) for name, objs in o.items() if name != "HEADER" for x in objs if x)
    counts_s = collections.Counter(handle(x) for name, objs in s.items() if name != "HEADER" for x in objs if x)
    matched = 0
    for name, objs in o.items():
        if name == "HEADER":
            continue
        saved = s.get(name, [])
        if objs and objs[0] and objs[0][0][0] != 0:  # a section's own leading tags (ACDSDATA)
            if not saved or saved[0] != objs[0]:
                faults.append("%s: its leading tags differ" % name)
            objs, saved = objs[1:], saved[1:]
        index = {key: obj for ks, obj in zip(keys(saved, name, counts_s), saved) for key in ks}
        for ks, obj in zip(keys(objs, name, counts_o), objs):
            key = ks[0]
            got = index.get(key)
            if got is None and obj[0] == (0, b"BLOCK_RECORD") and name_of(obj) in dropped:
                continue
            if got is None:
                faults.append("%s: %s %r is missing" % (name, obj[0][1].decode("latin1"), key[1:]))
                continue
            matched += 1
            compare_object(obj, got, handles, counts_o, faults, "%s %s %r" % (name, obj[0][1].decode("latin1"), key[1:]))
    return matched, faults


# A Latin layer name: ezdxf 0.18 refuses the \\U+ spelling a Cyrillic one has in an ANSI_1252 drawing.
SETTINGS = ["[Общая]", "ИмяСлоя=KELVO_WELD", "[Сварка]", "Поле3=ГОСТ 14771-76", "Поле4=С2", "Поле5=ИП", "Поле6=5",
            "Знак1=3"]


def ezdxf_read(path):
    try:
        return ezdxf.readfile(path)
    except Exception:  # noqa: BLE001 - whatever stops ezdxf, it cannot read that file
        return None


def has_designation(doc):  # in the space the drawing was left in: model, or a layout
    return any(e.dxftype() == "LEADER" and e.dxf.layer == "KELVO_WELD" for layout in doc.layouts for e in layout)


def main():
    os.makedirs(WORK, exist_ok=True)
    try:
        return check_all()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)


def check_all():
    ini = os.path.join(WORK, "draw.ini")
    with open(ini, "wb") as f:
        f.write(("\r\n".join(SETTINGS) + "\r\n").encode("cp1251"))
    names = sorted(n for n in os.listdir(CORPUS) if n.lower().endswith(".dxf"))
    counts = collections.Counter()
    failures, slowest = [], (0.0, "")
    for name in names:
        src, out, drawn = (os.path.join(CORPUS, name), os.path.join(WORK, "resaved.dxf"),
                           os.path.join(WORK, "drawn.dxf"))
        start = time.monotonic()
        run = subprocess.run([TOOL, "resave", src, out], capture_output=True)
        slowest = max(slowest, (time.monotonic() - start, name))
        err = run.stderr.decode("utf8", "replace")
        if "Sanitizer" in err or "runtime error" in err:
            failures.append("%s: sanitizer: %s" % (name, err[:400]))
            continue
        if run.returncode != 0:
            if REFUSED.get(name) and REFUSED[name] in err:
                counts["refused for a stated reason"] += 1
            else:
                failures.append("%s: refused: %s" % (name, err.strip()[:200]))
            continue
        counts["read and resaved"] += 1
        converted = "сохранён он будет как" in err
        counts["converted to R2000"] += converted
        counts["repaired"] += "при чтении исправлено" in err
        matched, faults = compare(src, out, converted, err)
        counts["objects found again"] += matched
        failures += ["%s: %s" % (name, f) for f in faults[:5]]
        run = subprocess.run([TOOL, "draw", "--picks", "0,0;30,20;60,20", "--settings", ini, "--in", src, drawn],
                             capture_output=True)
        if run.returncode != 0:
            failures.append("%s: draw failed: %s" % (name, run.stderr.decode("utf8", "replace")[:200]))
        elif (doc := ezdxf_read(drawn)) is not None:
            if has_designation(doc):
                counts["designation read back by ezdxf"] += 1
            else:
                failures.append("%s: ezdxf does not find the designation drawn into it" % name)
        elif ezdxf_read(src) is not None:
            failures.append("%s: ezdxf reads the original but not the file drawn into" % name)
        else:
            counts["ezdxf reads neither the original nor the file drawn into"] += 1
    print("%d drawings: %s" % (len(names), ", ".join("%s %d" % kv for kv in counts.items())))
    print("slowest resave: %.2f s (%s)" % slowest)
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


sys.exit(main())
