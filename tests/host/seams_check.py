#!/usr/bin/python3
"""Many seams in one drawing, through kelvo-dxf, checked by independent readers: ezdxf reads the
number-only designations, the updated count and the drawn seam table; Python's csv module reads
the seam list. A number given to another seam is refused and leaves the drawing as it was.

usage: seams_check.py KELVO_DXF_TOOL WORK_DIR
"""
import csv
import os
import subprocess
import sys

import ezdxf

TOOL, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def settings(name, count, number, standard, leg):
    path = os.path.join(WORK, name + ".ini")
    lines = ["[Общая]", "ИмяСлоя=Швы", "[Сварка]", f"Поле1={count}", f"Поле2={number}", f"Поле3={standard}",
             "Поле4=С2", f"Поле6={leg}", "Поле8=Rz20"]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1251"))
    return path


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True)


def path(name):
    return os.path.join(WORK, name)


# Designations numbered 1, 2 (count 1) and 5, drawn one after another.
seams = [("1", "", "1", "ГОСТ 5264-80", "4", "0,0;20,20;40,20"),
         ("2", "1", "2", "ГОСТ 14771-76", "6", "100,0;130,20;160,20"),
         ("5", "", "5", "ГОСТ 8713-79", "8", "200,0;230,20;260,20")]
previous = None
for name, count, number, standard, leg, picks in seams:
    out = path(f"d{name}.dxf")
    args = ["draw", "--picks", picks, "--settings", settings(name, count, number, standard, leg), out]
    r = run(*args[:-1], *(["--in", previous] if previous else []), out)
    check(r.returncode == 0, f"draw {name}: {r.stderr}")
    previous = out

r = run("next-number", previous)
check(r.stdout.strip() == "6", f"next-number of 1, 2, 5: {r.stdout!r} {r.stderr}")

# Number 2 for another seam: refused before anything is drawn.
r = run("draw", "--picks", "300,0;330,20;360,20", "--settings", settings("x", "", "2", "ГОСТ 5264-80", "9"),
        "--in", previous, path("refused.dxf"))
run("resave", previous, path("resaved.dxf"))
check(r.returncode == 1 and "уже дан в чертеже другому шву" in r.stderr and "(6)" in r.stderr,
      f"another seam under number 2: {r.returncode} {r.stderr}")
check(open(path("refused.dxf"), "rb").read() == open(path("resaved.dxf"), "rb").read(),
      "a refused number left the drawing changed")

# Twice an identical seam of designation 2 (picked on its leader), on both sides of the shelf.
r = run("same", "--pick", "115,10", "--picks", "100,-50;130,-30", "--in", previous, path("same1.dxf"))
check(r.returncode == 0, f"same 1: {r.stderr}")
r = run("same", "--pick", "115,10", "--picks", "100,-100;70,-80", "--in", path("same1.dxf"), path("same2.dxf"))
check(r.returncode == 0, f"same 2: {r.stderr}")
doc = ezdxf.readfile(path("same2.dxf"))
msp = doc.modelspace()
shelf_texts = []
for ref in msp.query("INSERT"):
    shelf_texts.append([t.dxf.text for t in doc.blocks.get(ref.dxf.name).query("TEXT")])
number_only = [t for t in shelf_texts if t == ["N%%d2"]]
check(len(number_only) == 2, f"two number-only shelves expected, the shelves hold {shelf_texts}")
check(len(msp.query("LEADER")) == 5, f"five leaders expected, {len(msp.query('LEADER'))}")
labels = sorted(t.dxf.text for t in msp.query("TEXT"))
check(labels == ["3N%%d2", "N%%d1", "N%%d5"], f"the count of seam 2 should read 3, the labels are {labels}")
for leader in msp.query("LEADER"):
    check(leader.has_xdata("KELVO"), f"leader {leader.dxf.handle} carries no designation")

# A cancel at the bend prompt: nothing is drawn, the count stays.
r = run("same", "--pick", "115,10", "--picks", "400,0", "--in", path("same2.dxf"), path("cancelled.dxf"))
check(r.returncode == 0 and r.stderr == "", f"a cancelled same: {r.returncode} {r.stderr}")
check(len(ezdxf.readfile(path("cancelled.dxf")).modelspace().query("LEADER")) == 5, "a cancelled same drew something")

# The seam table, drawn twice: the second replaces the first.
r = run("table", "--picks", "0,-200", "--in", path("same2.dxf"), path("table1.dxf"))
check(r.returncode == 0, f"table: {r.stderr}")
r = run("table", "--picks", "50,-300", "--in", path("table1.dxf"), path("table2.dxf"))
doc = ezdxf.readfile(path("table2.dxf"))
tables = [ref for ref in doc.modelspace().query("INSERT") if ref.dxf.name.startswith("KelvoTable_")]
check(len(tables) == 1 and tuple(tables[0].dxf.insert)[:2] == (50, -300), f"one table at the last pick: {[t.dxf.insert for t in tables]}")
if tables:
    block = doc.blocks.get(tables[0].dxf.name)
    texts = [t.dxf.text for t in block.query("TEXT")]
    for want in ["№ шва", "Обозначение шва", "Кол.", "1", "2", "5", "3", "ГОСТ 14771-76-С2", "Rz20"]:
        check(want in texts, f"the table lacks {want!r}: {texts}")
    check(len(block.query("LINE")) >= 4 + 4, "the table's grid")

# The list for a spreadsheet.
r = run("table", path("table2.dxf"), path("seams.csv"))
check(r.returncode == 0, f"table csv: {r.stderr}")
with open(path("seams.csv"), newline="", encoding="utf-8-sig") as f:
    rows = list(csv.reader(f))
want = [["Номер шва", "Обозначение шва", "Количество"],
        ["1", "ГОСТ 5264-80-С2 ⊿4 √Rz20", "1"],
        ["2", "ГОСТ 14771-76-С2 ⊿6 √Rz20", "3"],
        ["5", "ГОСТ 8713-79-С2 ⊿8 √Rz20", "1"]]
check(rows == want, f"the CSV rows: {rows}")

for f in failures:
    print("FAIL:", f)
print(f"{len(failures)} failed")
sys.exit(1 if failures else 0)
