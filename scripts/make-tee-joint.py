#!/usr/bin/python3
"""Writes tests/data/host/tee_joint.dxf: a welded tee joint drawn as an engineer would.

usage: make-tee-joint.py [OUT.dxf]

Units are millimetres; the origin is the flange's bottom-left corner. Points that tests snap to:
  flange top-left corner (LWPOLYLINE vertex):      (0, 12)
  right weld hatch (ANSI31), its slanted edge:     (114, 12) -> (106, 20)
  left weld hatch (SOLID), its slanted edge:       (86, 12) -> (94, 20)
"""
import logging
import math
import os
import sys

import ezdxf
import ezdxf.bbox
from ezdxf import units

FLANGE_W, FLANGE_T = 200, 12
WEB_T, WEB_H = 12, 100
LEG = 8
WEB_X0 = (FLANGE_W - WEB_T) / 2  # 94
WEB_X1 = WEB_X0 + WEB_T  # 106
TOP = FLANGE_T + WEB_H  # 112

# ezdxf writes some objects in set order, which follows the string hash seed.
if os.environ.get("PYTHONHASHSEED") != "0":
    os.execve(sys.executable, [sys.executable] + sys.argv, dict(os.environ, PYTHONHASHSEED="0"))

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "host", "tee_joint.dxf")

# Regenerating must give the same bytes: no creation dates or fresh GUIDs in the header.
ezdxf.options.write_fixed_meta_data_for_testing = True
doc = ezdxf.new("R2010", units=units.MM)
doc.header["$MEASUREMENT"] = 1
doc.styles.get("Standard").dxf.font = "arial.ttf"
doc.linetypes.add("CENTER", pattern=[20, 12, -3, 2, -3], description="Center ____ _ ____ _ ____")
for name, colour in [("Контур", 7), ("Швы", 1), ("Размеры", 3), ("Текст", 2)]:
    doc.layers.add(name, color=colour)
doc.dimstyles.new("Kelvo", dxfattribs={
    "dimtxt": 3.5, "dimasz": 3.5, "dimexe": 2, "dimexo": 1, "dimgap": 1, "dimtad": 1,
    "dimdec": 0, "dimblk": "", "dimtxsty": "Standard", "dimclrt": 3})
msp = doc.modelspace()

outline = {"layer": "Контур"}
msp.add_lwpolyline([(0, 0), (FLANGE_W, 0), (FLANGE_W, FLANGE_T), (0, FLANGE_T)], close=True, dxfattribs=outline)
msp.add_lwpolyline([(WEB_X0, FLANGE_T), (WEB_X1, FLANGE_T), (WEB_X1, TOP), (WEB_X0, TOP)], close=True,
                   dxfattribs=outline)
# A lightening hole in the web; a stiffening rib beside it, its corner cut to clear the weld.
msp.add_ellipse((100, 70), major_axis=(0, 15), ratio=0.25, dxfattribs=outline)
msp.add_polyline2d([(WEB_X1, 60), (WEB_X1, 22), (116, FLANGE_T), (160, FLANGE_T), (160, 18)], close=True,
                   dxfattribs=outline)
# The web continues above: a freehand break line across its top.
msp.add_spline([(WEB_X0 - 3, TOP), (97, TOP + 2.5), (100, TOP), (103, TOP - 2.5), (WEB_X1 + 3, TOP)],
               dxfattribs=outline)
msp.add_line((100, 4), (100, TOP + 8), dxfattribs={"layer": "Контур", "linetype": "CENTER"})

# Fillet welds, leg 8: left one filled, right one hatched; each also outlined.
welds = {"layer": "Швы"}
left = [(WEB_X0, FLANGE_T), (WEB_X0 - LEG, FLANGE_T), (WEB_X0, FLANGE_T + LEG)]
right = [(WEB_X1, FLANGE_T), (WEB_X1 + LEG, FLANGE_T), (WEB_X1, FLANGE_T + LEG)]
for triangle in (left, right):
    msp.add_lwpolyline(triangle, close=True, dxfattribs=welds)
solid = msp.add_hatch(color=256, dxfattribs=welds)
solid.paths.add_polyline_path(left, is_closed=True, flags=ezdxf.const.BOUNDARY_PATH_EXTERNAL)
hatched = msp.add_hatch(color=256, dxfattribs=welds)
hatched.set_pattern_fill("ANSI31", color=256, scale=0.5)  # it sets the colour too: keep BYLAYER
edges = hatched.paths.add_edge_path(flags=ezdxf.const.BOUNDARY_PATH_EXTERNAL)
for a, b in zip(right, right[1:] + right[:1]):
    edges.add_line(a, b)

dim = msp.add_linear_dim(base=(0, -14), p1=(0, 0), p2=(FLANGE_W, 0), dimstyle="Kelvo",
                         dxfattribs={"layer": "Размеры"})
dim.render()

msp.add_mtext("Технические требования"
              r"\P1. Швы выполнить по всему контуру, катет 8 мм."
              r"\P2. Неуказанные предельные отклонения размеров: H14, h14, ±IT14/2.",
              dxfattribs={"layer": "Текст", "char_height": 3.5, "width": FLANGE_W, "insert": (0, -26),
                          "attachment_point": 1, "style": "Standard"})

logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)  # text extents: no Arial here
extents = ezdxf.bbox.extents(msp)
# Saved as $EXTMIN/$EXTMAX; whole millimetres, so another machine's text metrics give the same file.
msp.reset_extents(tuple(map(math.floor, extents.extmin)), tuple(map(math.ceil, extents.extmax)))
doc.saveas(out)
