#!/usr/bin/env python3
"""Plots a zorvane-campaign history.csv as an SVG picture: land and units per team over
the turns, one line per team, with ticks and numbers on both axes. The title is the map's
name, from the game.csv beside the history, unless one is given. Standard library only.

Usage: plot_history.py history.csv output.svg [title]
"""
import csv
import math
import os
import sys
from xml.sax.saxutils import escape

# Ten colours that can be told apart, one per team, A to J.
COLOURS = ["#1f5fbf", "#e8731a", "#2a9d3a", "#d62728", "#8c52c6",
           "#8c564b", "#e377c2", "#6b6b6b", "#b5b51d", "#17becf"]


def colour(team):
    return COLOURS[(ord(team) - ord("A")) % len(COLOURS)]


def ticks(top, wanted=5):
    """Round steps (1, 2 or 5 times a power of ten) from 0 to at least top."""
    top = max(top, 1)
    raw = top / wanted
    power = 10 ** math.floor(math.log10(raw))
    step = next(m * power for m in (1, 2, 5, 10) if m * power >= raw)
    step = max(int(step), 1)
    last = step * math.ceil(top / step)
    return list(range(0, last + 1, step))


def chart(rows, column, left, top, width, height, label):
    teams = sorted({r["team"] for r in rows})
    xs = ticks(max([int(r["turn"]) for r in rows] + [1]))
    ys = ticks(max([int(r[column]) for r in rows] + [1]))
    x_of = lambda t: left + width * t / xs[-1]
    y_of = lambda v: top + height - height * v / ys[-1]
    out = [f'<rect x="{left}" y="{top}" width="{width}" height="{height}" fill="#fafafa" stroke="#888"/>',
           f'<text x="{left + width / 2}" y="{top - 10}" text-anchor="middle" font-size="14">{label}</text>',
           f'<text x="{left + width / 2}" y="{top + height + 34}" text-anchor="middle" font-size="11">turn</text>']
    for t in xs:
        out.append(f'<line x1="{x_of(t):.1f}" y1="{top}" x2="{x_of(t):.1f}" y2="{top + height + 4}" stroke="#ddd"/>')
        out.append(f'<line x1="{x_of(t):.1f}" y1="{top + height}" x2="{x_of(t):.1f}" y2="{top + height + 4}" '
                   f'stroke="#444"/>')
        out.append(f'<text x="{x_of(t):.1f}" y="{top + height + 17}" text-anchor="middle" font-size="11">{t}</text>')
    for v in ys:
        out.append(f'<line x1="{left - 4}" y1="{y_of(v):.1f}" x2="{left + width}" y2="{y_of(v):.1f}" stroke="#ddd"/>')
        out.append(f'<line x1="{left - 4}" y1="{y_of(v):.1f}" x2="{left}" y2="{y_of(v):.1f}" stroke="#444"/>')
        out.append(f'<text x="{left - 7}" y="{y_of(v) + 4:.1f}" text-anchor="end" font-size="11">{v}</text>')
    for team in teams:
        points = [(int(r["turn"]), int(r[column])) for r in rows if r["team"] == team]
        path = " ".join(f"{x_of(t):.1f},{y_of(v):.1f}" for t, v in points)
        out.append(f'<polyline fill="none" stroke="{colour(team)}" stroke-width="1.8" points="{path}"/>')
    return out


def map_name(history_path):
    """The map's name from the game.csv beside the history, without its extension."""
    game = os.path.join(os.path.dirname(history_path), "game.csv")
    try:
        with open(game, newline="") as f:
            for row in csv.DictReader(f):
                return os.path.splitext(row["map"])[0]
    except (OSError, KeyError, csv.Error):
        pass
    return None


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    with open(sys.argv[1], newline="") as f:
        rows = list(csv.DictReader(f))
    title = sys.argv[3] if len(sys.argv) > 3 else map_name(sys.argv[1]) or "A campaign"
    width, height = 900, 360
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" font-family="sans-serif">',
             f'<rect width="{width}" height="{height}" fill="white"/>',
             f'<text x="{width / 2}" y="24" text-anchor="middle" font-size="16">{escape(title)}</text>']
    parts += chart(rows, "land", 60, 62, 360, 220, "Land (cells owned)")
    parts += chart(rows, "units", 510, 62, 360, 220, "Units")
    for i, team in enumerate(sorted({r["team"] for r in rows})):
        parts.append(f'<text x="{60 + i * 82}" y="{height - 10}" font-size="12" fill="{colour(team)}">'
                     f'&#9632; team {team}</text>')
    parts.append("</svg>")
    with open(sys.argv[2], "w") as f:
        f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
