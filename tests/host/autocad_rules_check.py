#!/usr/bin/python3
"""Draws into drawings that ezdxf made (not Kelvo) and holds what kelvo-dxf leaves against the
rules AutoCAD's ActiveX reference gives: a SOLID's corners, a leader's arrow at DIMASZ times its
overall scale, DIMSCALE 0 by the annotation scale, layers that compare without regard to case
and refuse when frozen, locked or off, a cancelled prompt, and extended-data strings of at most
255 bytes.

usage: autocad_rules_check.py KELVO_DXF_TOOL WORK_DIR
"""
import configparser
import os
import subprocess
import sys

import ezdxf

TOOL, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
failures = []
PICKS = "0,0;30,20;60,20"


def check(condition, what):
    if not condition:
        failures.append(what)


def settings(name, layer="Швы", standard="ГОСТ 14771-76"):
    path = os.path.join(WORK, name + ".ini")
    lines = ["[Общая]", f"ИмяСлоя={layer}", "[Сварка]", "Поле1=2", "Поле2=5", f"Поле3={standard}",
             "Поле4=С2", "Поле5=ИП", "Поле6=5", "Поле8=Rz20", "Знак1=3", "Знак2=1"]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1251"))
    return path


def drawing(name, dimscale=1.0, annotative=False, layer=None):
    """An R2010 drawing of ezdxf's own, with one line of the user's."""
    doc = ezdxf.new("R2010")
    doc.header["$DIMSCALE"] = dimscale
    doc.header["$DIMASZ"] = 2.5
    doc.header["$DIMTXT"] = 2.5
    doc.header["$DIMGAP"] = 0.625
    if annotative:
        # What AutoCAD writes for an annotative current style and the annotation scale 1:10.
        doc.appids.new("AcadAnnotative")
        doc.dimstyles.get("Standard").set_xdata(
            "AcadAnnotative", [(1000, "AnnotativeData"), (1002, "{"), (1070, 1), (1070, 1), (1002, "}")])
        doc.rootdict.get_required_dict("AcDbVariableDictionary").set_or_add_dict_var("CANNOSCALE", "1:10")
    if layer:
        l = doc.layers.add(layer["name"], color=layer.get("color", 5))
        if layer.get("frozen"):
            l.freeze()
        if layer.get("locked"):
            l.lock()
        if layer.get("off"):
            l.off()
    doc.modelspace().add_line((100, 100), (200, 100))
    path = os.path.join(WORK, name + ".dxf")
    doc.saveas(path)
    return path


def draw(inp, ini, out, picks=PICKS):
    return subprocess.run([TOOL, "draw", "--picks", picks, "--settings", ini, "--in", inp, out],
                          capture_output=True, text=True)


def resave(inp, out):
    subprocess.run([TOOL, "resave", inp, out], check=True)


def dstyle(leader):
    """The leader's DSTYLE overrides: variable code -> value."""
    tags = [(t.code, t.value) for t in leader.get_xdata("ACAD")] if leader.has_xdata("ACAD") else []
    out, i = {}, 0
    while i + 1 < len(tags):
        if tags[i][0] == 1070:
            out[tags[i][1]] = tags[i + 1][1]
            i += 2
        else:
            i += 1
    return out


def area(points):
    return abs(sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(points, points[1:] + points[:1]))) / 2


# 1. The arrowhead, the leader's arrow and the text height at each kind of scale.
for name, dimscale, annotative, scale in [("scale1", 1.0, False, 1), ("scale10", 10.0, False, 10),
                                         ("annotative", 0.0, True, 10)]:
    out = os.path.join(WORK, name + "-drawn.dxf")
    r = draw(drawing(name, dimscale, annotative), settings(name), out)
    check(r.returncode == 0 and not r.stderr, f"{name}: drawn without a message ({r.stderr.strip()})")
    doc = ezdxf.readfile(out)
    solids = [e for e in doc.blocks.get("KelvoL") if e.dxftype() == "SOLID"]
    check(len(solids) == 1, f"{name}: the arrowhead block holds one SOLID")
    if solids:
        # ezdxf gives a SOLID's corners in their outline order (0, 1, 3, 2).
        outline = [(v.x, v.y) for v in solids[0].vertices()]
        want = area([(1, 0), (0, -0.2465), (0.3264, 0)])
        check(abs(area(outline) - want) < 1e-9, f"{name}: the SOLID encloses the barb ({area(outline)} vs {want})")
    leaders = doc.modelspace().query("LEADER")
    check(len(leaders) == 1, f"{name}: one leader")
    if leaders:
        o = dstyle(leaders[0])
        drawn = o.get(41, 0) * o.get(40, 0)
        check(abs(drawn - 2.5 * scale) < 1e-9, f"{name}: arrow 41 x 40 = {drawn}, DIMASZ x scale = {2.5 * scale}")
    weld = [b for b in doc.blocks if b.name.startswith("Weld_")]
    heights = {round(t.dxf.height, 9) for b in weld for t in b if t.dxftype() == "TEXT"}
    check(heights == {2.5 * scale}, f"{name}: shelf texts {heights} high, DIMTXT x scale = {2.5 * scale}")

# 2. The designation layer: the user's in another case and colour, and the states that refuse.
ini = settings("layer", layer="Швы")
out = os.path.join(WORK, "layer-cased-drawn.dxf")
r = draw(drawing("layer-cased", layer={"name": "ШВЫ", "color": 5}), ini, out)
check(r.returncode == 0, f"a layer differing in case takes the designation ({r.stderr.strip()})")
doc = ezdxf.readfile(out)
named = [l for l in doc.layers if l.dxf.name.upper() == "ШВЫ"]
check(len(named) == 1 and named[0].color == 5, "the user's layer ШВЫ is the only one and keeps colour 5")
check({e.dxf.layer for e in doc.modelspace().query("LEADER INSERT")} == {"ШВЫ"}, "the designation is on ШВЫ")
for state, word in [("locked", "заблокирован"), ("frozen", "заморожен"), ("off", "отключён")]:
    inp = drawing("layer-" + state, layer={"name": "ШВЫ", "color": 5, state: True})
    out, same = os.path.join(WORK, f"layer-{state}-drawn.dxf"), os.path.join(WORK, f"layer-{state}-resaved.dxf")
    r = draw(inp, ini, out)
    resave(inp, same)
    check(r.returncode == 1 and f'Слой "ШВЫ" {word}' in r.stderr, f"a {state} layer is reported ({r.stderr.strip()})")
    check(open(out, "rb").read() == open(same, "rb").read(), f"a {state} layer leaves the drawing as it was")

# 3. Esc at each prompt: no message, nothing of the designation left but the arrowhead block.
for answered, picks in enumerate(["", "0,0", "0,0;30,20"]):
    out = os.path.join(WORK, f"cancel-{answered}.dxf")
    r = draw(drawing("cancel"), settings("cancel"), out, picks)
    check(r.returncode == 0 and not r.stderr, f"a cancel after {answered} picks says nothing ({r.stderr.strip()})")
    doc = ezdxf.readfile(out)
    check([e.dxftype() for e in doc.modelspace()] == ["LINE"], f"a cancel after {answered} picks leaves the user's line alone")
    check(not [b for b in doc.blocks if b.name.startswith("Weld_")], f"a cancel after {answered} picks leaves no weld block")

# 4. A 400-character field: no string of extended data over 255 bytes in the file's encoding,
# and the text comes back whole.
long_text = ("Шов стыковой " * 40)[:400]
for name, inp in [("long-ansi", None), ("long-utf8", drawing("long-utf8"))]:
    ini = settings(name, standard=long_text)
    out = os.path.join(WORK, name + "-drawn.dxf")
    args = [TOOL, "draw", "--picks", PICKS, "--settings", ini] + (["--in", inp] if inp else []) + [out]
    r = subprocess.run(args, capture_output=True, text=True)
    check(r.returncode == 0, f"{name}: drawn ({r.stderr.strip()})")
    doc = ezdxf.readfile(out)
    encoding = "utf-8" if doc.dxfversion >= "AC1021" else "cp1251"
    longest = max(len(t.value.encode(encoding)) for e in doc.modelspace() if e.has_xdata("KELVO")
                  for t in e.get_xdata("KELVO") if t.code == 1000)
    check(longest <= 255, f"{name}: the longest string of extended data is {longest} bytes")
    taken = os.path.join(WORK, name + "-taken.ini")
    open(taken, "wb").close()
    r = subprocess.run([TOOL, "take", "--pick", "0,0", "--in", out, "--settings", taken], capture_output=True, text=True)
    check(r.returncode == 0, f"{name}: taken back ({r.stderr.strip()})")
    ini_file = configparser.ConfigParser(interpolation=None)
    ini_file.optionxform = str
    ini_file.read(taken, encoding="cp1251")
    check(ini_file.get("Сварка", "Поле3", fallback="") == long_text, f"{name}: the 400 characters come back whole")

for f in failures:
    print("FAIL:", f)
print(f"{len(failures)} failed" if failures else "all checks passed")
sys.exit(1 if failures else 0)
