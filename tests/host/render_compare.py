#!/usr/bin/python3
"""Compares what `kelvo-host --render` draws with what ezdxf's drawing add-on draws.

A renderer checked only against its own expectations drifts with them; an independent
renderer keeps ours honest. Each case builds a small drawing with ezdxf, both programs draw
it into a PNG of the same size and window, and the "ink" (pixels that differ from the ground)
of each must lie, to at least 90 %, within 2 px of the other's ink. Colours are not compared.

usage: render_compare.py KELVO_HOST|--ezdxf-only [KEEP_DIR]
KEEP_DIR, if given, keeps each case's DXF and both pictures for looking at;
--ezdxf-only draws the ezdxf side alone, to look at what the cases hold.
"""
import logging
import math
import os
import shutil
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib import font_manager  # noqa: E402
import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

import ezdxf  # noqa: E402
import ezdxf.bbox  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.config import Configuration, LinePolicy  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.enums import TextEntityAlignment  # noqa: E402
from ezdxf.math import Vec2  # noqa: E402
from ezdxf.render import mleader  # noqa: E402

# Arial and other Windows faces are not installed here; like fontconfig (and the host), fall back
# to Arial's metric twin Liberation Sans rather than matplotlib's wider DejaVu Sans.
font_manager.fontManager.defaultFamily["ttf"] = "Liberation Sans"
logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)

GROUND = (33, 40, 48)
INK_THRESHOLD = 40  # per channel; antialiasing fringes fainter than this are not ink
REACH = 2  # px: how far apart the two renderers' strokes may lie
REQUIRED = 0.90
DPI = 100
TEXT = {"style": "LiberationSans"}  # the host's fallback face; both then measure the same glyphs

# ezdxf 0.18 draws every kind below (MLEADER from its own rebuild of the leader, not from proxy
# graphics); where its defaults part from what CAD shows, they are set here:
# - line widths are in points: 1.2 px like the host, whatever the entity's lineweight;
# - its own POINT style (mode 0, size 1) overrides the header unless both are None;
# - XLINE and RAY are segments of infinite_line_length (20 units by default).
CONFIG = Configuration.defaults().with_changes(
    lineweight_scaling=0.0, min_lineweight=1.2 * 72 / DPI, line_policy=LinePolicy.ACCURATE,
    pdmode=None, pdsize=None, infinite_line_length=1e5)


def window(view, size):
    """The drawing window that fills the image: one scale for x and y, the view centred."""
    (x0, y0, x1, y1), (w, h) = view, size
    scale = min(w / (x1 - x0), h / (y1 - y0))
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    return scale, (cx - w / 2 / scale, cx + w / 2 / scale), (cy - h / 2 / scale, cy + h / 2 / scale)


# --- the cases: each builder fills the model space of a fresh R2010 drawing ------------------

def line_circle_arc(doc, msp):
    msp.add_line((5, 5), (95, 70))
    msp.add_circle((30, 45), 15)
    msp.add_arc((70, 25), 18, 30, 250)


def text_alignment(doc, msp):
    for text, pos, align, rotation in [("Слева ABC", (10, 60), "LEFT", 0),
                                       ("По центру 123", (50, 40), "MIDDLE_CENTER", 0),
                                       ("Справа", (90, 20), "RIGHT", 0),
                                       ("Под углом", (15, 10), "LEFT", 30)]:
        msp.add_text(text, height=3, rotation=rotation, dxfattribs=TEXT).set_placement(
            pos, align=TextEntityAlignment[align])


def insert_scaled_rotated(doc, msp):
    block = doc.blocks.new("MARK")
    block.add_lwpolyline([(0, 0), (10, 0), (10, 5), (0, 5)], close=True)
    block.add_line((0, 0), (10, 5))
    block.add_circle((10, 5), 2)
    msp.add_blockref("MARK", (10, 10))
    msp.add_blockref("MARK", (50, 15), dxfattribs={"xscale": 2, "yscale": 1.5, "rotation": 30})
    msp.add_blockref("MARK", (85, 55), dxfattribs={"xscale": -1, "rotation": -15})  # mirrored


def solid_trace_3dface(doc, msp):
    # SOLID and TRACE list their corners zigzag: the third lies opposite the first.
    msp.add_solid([(10, 10), (30, 10), (10, 30), (30, 30)])
    msp.add_solid([(40, 10), (60, 10), (50, 30)])
    msp.add_trace([(70, 10), (90, 15), (70, 20), (90, 25)])
    msp.add_3dface([(10, 45), (40, 45), (40, 65), (10, 65)])
    face = msp.add_3dface([(55, 45), (90, 45), (90, 65), (55, 65)])
    face.dxf.invisible = 2  # its second edge is not drawn


def lwpolyline_bulges(doc, msp):
    msp.add_lwpolyline([(10, 25, 0, 0, 0.5), (60, 25, 0, 0, 0), (60, 60, 0, 0, -0.4), (10, 60, 0, 0, 0)],
                       format="xyseb", close=True)
    msp.add_lwpolyline([(70, 30, 0, 0, 1), (90, 30, 0, 0, 1)], format="xyseb", close=True)  # a circle


def mirrored_ocs(doc, msp):
    # Mirrored in a CAD program, 2D entities keep their points in a plane seen from below: the
    # extrusion (0, 0, -1) turns x round.
    down = {"extrusion": (0, 0, -1)}
    msp.add_arc((-70, 25), 18, 30, 160, dxfattribs=down)
    msp.add_circle((-30, 45), 10, dxfattribs=down)
    msp.add_lwpolyline([(-10, 60, 0, 0, 0.5), (-60, 60, 0, 0, 0), (-60, 70, 0, 0, 0)], format="xyseb",
                       dxfattribs=down)
    msp.add_solid([(-10, 10), (-30, 10), (-10, 20), (-30, 20)], dxfattribs=down)


def lwpolyline_widths(doc, msp):
    msp.add_lwpolyline([(10, 20, 0.5, 6), (45, 30, 6, 0.5), (80, 15, 2, 2), (90, 40, 0, 0)], format="xyse")
    band = msp.add_lwpolyline([(10, 50, 0, 0, 0.6), (50, 50, 0, 0, 0), (85, 60, 0, 0, 0)], format="xyseb")
    band.dxf.const_width = 3


def polyline_2d_3d(doc, msp):
    msp.add_polyline2d([(10, 10, 0, 0, 0), (45, 10, 0, 0, 0.7), (45, 40, 0, 0, 0), (10, 40, 0, 0, 0)],
                       format="xyseb", close=True)
    msp.add_polyline3d([(55, 10, 0), (90, 20, 15), (60, 45, -8), (85, 65, 30)])  # drawn from above


def ellipse_and_arc(doc, msp):
    msp.add_ellipse((30, 40), major_axis=(20, 8), ratio=0.5)
    # start/end are parameters, not polar angles: they differ once the ratio is not 1
    msp.add_ellipse((75, 35), major_axis=(0, 22), ratio=0.6, start_param=0.3, end_param=4.0)


def spline_rational(doc, msp):
    msp.add_rational_spline([(10, 10), (20, 60), (40, 65), (55, 15), (80, 20), (90, 60)],
                            weights=[1, 3, 1, 0.5, 2, 1], degree=3, knots=[0, 0, 0, 0, 1, 3, 4, 4, 4, 4])


def spline_fit_points(doc, msp):
    msp.add_spline([(10, 20), (30, 55), (50, 30), (70, 60), (90, 15)])


def hatch_solid_island(doc, msp):
    hatch = msp.add_hatch(color=1)
    hatch.paths.add_polyline_path([(10, 10), (90, 10), (90, 65), (10, 65)], is_closed=True,
                                  flags=ezdxf.const.BOUNDARY_PATH_EXTERNAL)
    hole = hatch.paths.add_edge_path(flags=ezdxf.const.BOUNDARY_PATH_OUTERMOST)
    hole.add_arc((50, 37.5), 15, 0, 360)


def hatch_ansi31_edges(doc, msp):
    # Pattern lines run through the drawing's origin, not the boundary's corner: a renderer that
    # anchors them elsewhere is off by up to half a spacing (6 px here) and fails. No corner lies
    # on a pattern line and no edge ends along one: those are ties renderers break differently.
    hatch = msp.add_hatch()
    hatch.set_pattern_fill("ANSI31", scale=1)
    edges = hatch.paths.add_edge_path(flags=ezdxf.const.BOUNDARY_PATH_EXTERNAL)
    edges.add_line((11, 10), (61, 10))
    edges.add_arc((61, 30), 20, -90, 90)
    edges.add_ellipse((46, 50), major_axis=(15, 0), ratio=0.5, start_angle=0, end_angle=180)
    edges.add_spline(control_points=[(31, 50), (6, 45), (26, 21), (11, 10)],
                     knot_values=[0, 0, 0, 0, 1, 1, 1, 1], degree=3)


def mtext_formatting(doc, msp):
    # The width leaves every line break 30 px from the next word: a fair wrap, not a borderline one.
    content = (r"Шов выполнить по всему контуру без подрезов и наплывов."
               r"\PКатет {\S1/2;} {\H2x;Б} {\fArial|b0|i0;Arial} {\C1;красный}")
    msp.add_mtext(content, dxfattribs={"char_height": 3, "width": 60, "insert": (10, 65),
                                       "attachment_point": 1, **TEXT})


def dimension_linear(doc, msp):
    doc.dimstyles.get("EZDXF").dxf.dimtxsty = TEXT["style"]
    msp.add_line((20, 20), (80, 20))
    dim = msp.add_linear_dim(base=(50, 45), p1=(20, 20), p2=(80, 20), dimstyle="EZDXF",
                             override={"dimtxt": 3, "dimasz": 3, "dimlfac": 1, "dimblk": ""})
    dim.render()


def insert_attribs(doc, msp):
    block = doc.blocks.new("TAG")
    block.add_circle((0, 0), 8)
    block.add_attdef("NUM", (-4, -1.5), dxfattribs={"height": 3, **TEXT})  # not shown in a reference
    for pos, num in [((25, 40), "17"), ((70, 30), "204")]:
        msp.add_blockref("TAG", pos).add_auto_attribs({"NUM": num})


def point_cross(doc, msp):
    # PDMODE 0 is a one-pixel dot that no two renderers agree on; 3 is an X of PDSIZE units.
    doc.header["$PDMODE"] = 3
    doc.header["$PDSIZE"] = 5
    for pos in [(15, 15), (50, 40), (85, 60), (30, 60)]:
        msp.add_point(pos)


def ray_xline(doc, msp):
    msp.add_xline((50, 37), (1, 0.5))
    msp.add_ray((20, 60), (1, -0.3))
    msp.add_ray((80, 10), (0, 1))


def multileader(doc, msp):
    builder = msp.add_multileader_mtext("Standard")
    builder.set_content("Сварной шов", char_height=3, style=TEXT["style"])
    builder.add_leader_line(mleader.ConnectionSide.left, [Vec2(15, 15)])
    builder.build(insert=Vec2(45, 45))


def layers_off_frozen(doc, msp):
    doc.layers.add("Видимый", color=2)
    doc.layers.add("Выключен", color=1).off()
    doc.layers.add("Заморожен", color=3).freeze()
    block = doc.blocks.new("FROZEN_CONTENT")
    block.add_circle((0, 0), 5)
    msp.add_circle((25, 37), 15, dxfattribs={"layer": "Видимый"})
    msp.add_line((5, 5), (45, 70), dxfattribs={"layer": "Видимый"})
    msp.add_line((55, 10), (95, 65), dxfattribs={"layer": "Выключен"})
    msp.add_circle((75, 37), 12, dxfattribs={"layer": "Заморожен"})
    msp.add_blockref("FROZEN_CONTENT", (80, 20), dxfattribs={"layer": "Заморожен"})


def linetypes(doc, msp):
    # At 4 px a unit and $LTSCALE 10 the gaps are 10-25 px: a line drawn solid cannot pass.
    doc.header["$LTSCALE"] = 10
    doc.linetypes.add("HIDDEN", pattern=[0.9525, 0.635, -0.3175], description="Hidden __ __ __")
    for y, ltype, scale in [(65, "DASHED", 1), (50, "CENTER", 1), (35, "HIDDEN", 1), (20, "HIDDEN", 2)]:
        msp.add_line((10, y), (90, y), dxfattribs={"linetype": ltype, "ltscale": scale})
    msp.add_circle((50, 37), 30, dxfattribs={"linetype": "DASHED"})


def colours(doc, msp):
    doc.layers.add("Красный", color=1)
    block = doc.blocks.new("BYBLOCK_MARK")
    block.add_circle((0, 0), 6, dxfattribs={"color": 0})  # takes the reference's colour
    msp.add_line((10, 10), (90, 10), dxfattribs={"layer": "Красный"})
    msp.add_blockref("BYBLOCK_MARK", (25, 40), dxfattribs={"color": 5})
    msp.add_circle((55, 40), 8, dxfattribs={"color": 3})
    msp.add_circle((80, 40), 8, dxfattribs={"true_color": ezdxf.rgb2int((255, 128, 0))})
    msp.add_line((10, 65), (90, 65), dxfattribs={"color": 7})


STD = (0, 0, 100, 75)
CASES = [  # name, builder or a drawing beside this file, view (x0, y0, x1, y1), image size (w, h)
    ("LINE, CIRCLE, ARC", line_circle_arc, STD, (400, 300)),
    ("TEXT alignment", text_alignment, STD, (400, 300)),
    ("INSERT scaled, rotated", insert_scaled_rotated, (-10, -10, 110, 80), (400, 300)),
    ("SOLID, TRACE, 3DFACE", solid_trace_3dface, STD, (400, 300)),
    ("LWPOLYLINE bulges", lwpolyline_bulges, STD, (400, 300)),
    ("LWPOLYLINE widths", lwpolyline_widths, STD, (400, 300)),
    ("mirrored: extrusion 0,0,-1", mirrored_ocs, STD, (400, 300)),
    ("POLYLINE 2D, 3D", polyline_2d_3d, STD, (400, 300)),
    ("ELLIPSE full, arc", ellipse_and_arc, STD, (400, 300)),
    ("SPLINE rational", spline_rational, STD, (400, 300)),
    ("SPLINE fit points", spline_fit_points, STD, (400, 300)),
    ("HATCH solid, island", hatch_solid_island, STD, (400, 300)),
    ("HATCH ANSI31, edges", hatch_ansi31_edges, STD, (400, 300)),
    ("MTEXT formatting", mtext_formatting, STD, (400, 300)),
    ("DIMENSION linear", dimension_linear, STD, (400, 300)),
    ("INSERT with ATTRIBs", insert_attribs, STD, (400, 300)),
    ("POINT PDMODE 3", point_cross, STD, (400, 300)),
    ("RAY, XLINE", ray_xline, STD, (400, 300)),
    ("MLEADER", multileader, STD, (400, 300)),
    ("layers off, frozen", layers_off_frozen, STD, (400, 300)),
    ("linetypes", linetypes, STD, (400, 300)),
    ("colours", colours, STD, (400, 300)),
    ("view centred, wide image", line_circle_arc, (0, 0, 100, 75), (600, 240)),
    ("view centred, tall window", ellipse_and_arc, (-20, -40, 120, 115), (300, 300)),
    ("tee joint sample", "../data/host/tee_joint.dxf", (-5, -50, 205, 125), (600, 500)),
]

# Drawings of other programs beside the repository (never in it), where they are: each shows a
# kind that only such files carry. The view is the drawing's extents as ezdxf finds them.
CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "dxf-corpus")
CORPUS_CASES = [
    ("corpus: ACAD_TABLE", "072-ezdxfrepo-acad-table-simple.dxf"),
    ("corpus: MESH, MTEXT embedded", "071-ezdxfrepo-uncommon.dxf"),
    ("corpus: MTEXT embedded", "079-ezdxfrepo-text.dxf"),
    ("corpus: tilted planes (R12)", "103-ezdxfrepo-poli-all210-12.dxf"),
]
if os.path.isdir(CORPUS):
    CASES += [(name, os.path.join(CORPUS, file), None, (600, 450)) for name, file in CORPUS_CASES]

# Where a case hides entities, nothing may be drawn there by either renderer: two renderers
# both showing an off layer would otherwise agree.
MUST_BE_EMPTY = {"layers off, frozen": (52, 3, 98, 72)}


# --- rendering and comparing ----------------------------------------------------------------

def render_ezdxf(dxf_path, view, size, png):
    doc = ezdxf.readfile(dxf_path)
    w, h = size
    fig = plt.figure(figsize=(w / DPI, h / DPI), dpi=DPI)
    try:
        ax = fig.add_axes((0, 0, 1, 1))
        Frontend(RenderContext(doc), MatplotlibBackend(ax, adjust_figure=False), config=CONFIG).draw_layout(
            doc.modelspace())
        _, xlim, ylim = window(view, size)
        ax.set_xlim(*xlim)
        ax.set_ylim(*ylim)
        ax.set_aspect("equal", adjustable="box")
        ground = tuple(c / 255 for c in GROUND)
        ax.set_facecolor(ground)
        fig.savefig(png, dpi=DPI, facecolor=ground)
    finally:
        plt.close(fig)


HUNG = []


def run_host(host, args):
    """Exit code and stderr of one call, or None and why when it never ends."""
    if HUNG:  # one hang is enough to know; waiting out every case would take half an hour
        return None, "not run: an earlier call never ended"
    try:
        run = subprocess.run([host, *args], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                             capture_output=True, timeout=60)
    except subprocess.TimeoutExpired:  # a host without --render opens a window or starts serving
        HUNG.append(args)
        return None, "no answer in 60 s"
    return run.returncode, run.stderr.decode("utf-8", "replace").strip()


def render_kelvo(host, dxf_path, view, size, png):
    code, err = run_host(host, ["--render", png, "--size", "%dx%d" % size,
                                "--view", ",".join("%g" % v for v in view), dxf_path])
    if code != 0:
        return err if code is None else "exit %d: %s" % (code, err)
    if not os.path.exists(png):
        return "exit 0 but no picture"  # a failure reported as success
    return None


def ink(png, size):
    pixels = np.asarray(Image.open(png).convert("RGB"), dtype=np.int16)
    if pixels.shape[:2] != (size[1], size[0]):
        raise ValueError("%s is %dx%d, not %dx%d" % (os.path.basename(png), pixels.shape[1], pixels.shape[0], *size))
    return np.abs(pixels - np.array(GROUND, dtype=np.int16)).max(axis=2) > INK_THRESHOLD


def dilate(mask, radius):
    grown = mask.copy()
    h, w = mask.shape
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            if dx * dx + dy * dy > radius * radius or (dx == 0 and dy == 0):
                continue
            grown[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] |= \
                mask[max(-dy, 0):h + min(-dy, 0), max(-dx, 0):w + min(-dx, 0)]
    return grown


def covered(mask, other):
    """Share of `mask`'s ink within REACH of `other`'s ink."""
    return float((mask & dilate(other, REACH)).sum()) / max(int(mask.sum()), 1)


def ink_in(mask, rect, view, size):
    scale, (wx0, _), (_, wy1) = window(view, size)
    x0, y0, x1, y1 = rect
    cols = slice(max(int(math.floor((x0 - wx0) * scale)), 0), int(math.ceil((x1 - wx0) * scale)))
    rows = slice(max(int(math.floor((wy1 - y1) * scale)), 0), int(math.ceil((wy1 - y0) * scale)))
    return int(mask[rows, cols].sum())


def compare(host, name, build, view, size, work):
    """Returns the case's figures and the list of its faults."""
    stem = os.path.join(work, "".join(c if c.isalnum() else "_" for c in name).strip("_"))
    if isinstance(build, str):  # a drawing kept with the tests
        shutil.copyfile(os.path.join(os.path.dirname(os.path.abspath(__file__)), build), stem + ".dxf")
    else:
        doc = ezdxf.new("R2010", setup=True)
        build(doc, doc.modelspace())
        doc.saveas(stem + ".dxf")
    if view is None:
        box = ezdxf.bbox.extents(ezdxf.readfile(stem + ".dxf").modelspace())
        (x0, y0, _), (x1, y1, _) = box.extmin, box.extmax
        m = 0.05 * max(x1 - x0, y1 - y0)
        view = (x0 - m, y0 - m, x1 + m, y1 + m)
    render_ezdxf(stem + ".dxf", view, size, stem + "-ezdxf.png")
    ref = ink(stem + "-ezdxf.png", size)
    if not ref.any():
        return "", ["ezdxf drew nothing"]
    if host is None:
        return "ezdxf drew it", []
    failure = render_kelvo(host, stem + ".dxf", view, size, stem + "-kelvo.png")
    if failure:
        return "", ["kelvo-host " + failure]
    ours = ink(stem + "-kelvo.png", size)
    a, b = covered(ours, ref), covered(ref, ours)
    faults = [] if ours.any() else ["kelvo-host drew nothing"]
    if min(a, b) < REQUIRED:
        faults.append("below %d %%" % (100 * REQUIRED))
    if name in MUST_BE_EMPTY:
        faults += ["%s drew hidden entities" % who for who, mask in (("kelvo-host", ours), ("ezdxf", ref))
                   if ink_in(mask, MUST_BE_EMPTY[name], view, size)]
    return "kelvo ink near ezdxf's %5.1f %%, ezdxf ink near kelvo's %5.1f %%" % (100 * a, 100 * b), faults


# Calls the host must refuse: non-zero exit, a Russian word on stderr, no picture left behind.
BAD_CALLS = [
    ("no such drawing", ["{work}/missing.dxf"]),
    ("not a DXF", ["{work}/garbage.dxf"]),
    ("no drawing named", []),
    ("size without height", ["--size", "400x", "{dxf}"]),
    ("size zero", ["--size", "0x300", "{dxf}"]),
    ("empty view", ["--view", "10,0,10,75", "{dxf}"]),
    ("view of three numbers", ["--view", "0,0,100", "{dxf}"]),
]


def refusals(host, work):
    doc = ezdxf.new("R2010")
    line_circle_arc(doc, doc.modelspace())
    dxf = os.path.join(work, "good.dxf")
    doc.saveas(dxf)
    with open(os.path.join(work, "garbage.dxf"), "wb") as f:
        f.write(b"0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n" + bytes(range(256)))
    png = os.path.join(work, "refused.png")
    for why, args in BAD_CALLS:
        code, err = run_host(host, ["--render", png] + [a.format(work=work, dxf=dxf) for a in args])
        faults = []
        if code == 0 or code is None:
            faults.append("exit 0" if code == 0 else err)
        elif not any("\u0400" <= c <= "\u04ff" for c in err):
            faults.append("no Russian message: %r" % err[:80])
        if os.path.exists(png):
            faults.append("left a picture")
            os.remove(png)
        yield "refuses: " + why, "exit %s" % code, faults

    # Without --size and --view: 1024x768, the drawing's extents centred with a small margin.
    png = os.path.join(work, "extents.png")
    code, err = run_host(host, ["--render", png, dxf])
    if code != 0 or not os.path.exists(png):
        yield "extents by default", "", ["exit %s: %s" % (code, err) if code != 0 else "exit 0 but no picture"]
        return
    try:
        mask = ink(png, (1024, 768))
    except ValueError as e:
        yield "extents by default", "", [str(e)]
        return
    if not mask.any():
        yield "extents by default", "", ["nothing drawn"]
        return
    rows, cols = np.nonzero(mask)
    box = (cols.min(), rows.min(), cols.max() + 1, rows.max() + 1)
    extents = ezdxf.bbox.extents(doc.modelspace())
    (x0, y0, _), (x1, y1, _) = extents.extmin, extents.extmax
    width, height = box[2] - box[0], box[3] - box[1]
    faults = [what for what, bad in [
        ("touches the border", box[0] == 0 or box[1] == 0 or box[2] == 1024 or box[3] == 768),
        ("not centred", abs(box[0] + box[2] - 1024) > 6 or abs(box[1] + box[3] - 768) > 6),
        ("margin not small", width < 0.8 * 1024 and height < 0.8 * 768),
        ("x and y scaled differently", abs(width / max(height, 1) - (x1 - x0) / (y1 - y0)) > 0.03)] if bad]
    yield "extents by default", "ink %d..%d x %d..%d" % (box[0], box[2], box[1], box[3]), faults


def report(name, figures, faults):
    print("%-26s %s%s" % (name, figures, "  FAILED: " + "; ".join(faults) if faults else ""), flush=True)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    host = None if sys.argv[1] == "--ezdxf-only" else os.path.abspath(sys.argv[1])
    results = []
    with tempfile.TemporaryDirectory(prefix="kelvo-render-") as work:
        out = sys.argv[2] if len(sys.argv) == 3 else work
        os.makedirs(out, exist_ok=True)
        for name, build, view, size in CASES:
            try:
                figures, faults = compare(host, name, build, view, size, out)
            except Exception as e:  # one broken case must not hide the others' figures
                figures, faults = "", ["%s: %s" % (type(e).__name__, e)]
            results.append((name, figures, faults))
            report(*results[-1])
        if host is not None:
            for result in refusals(host, work):
                results.append(result)
                report(*result)
    failed = sum(bool(faults) for _, _, faults in results)
    print("%d passed, %d failed" % (len(results) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
