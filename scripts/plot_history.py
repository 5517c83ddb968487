#!/usr/bin/env python3
"""Plots a zorvane-campaign history.csv as an SVG picture: land and units per team over
the turns, one line per team in the team's map colour. Standard library only.

Usage: plot_history.py history.csv output.svg [title]
"""
import csv
import sys

# The teams' palette colours, A to J.
COLOURS = ["#000080", "#008000", "#008080", "#800000", "#800080",
           "#808000", "#a0a0a0", "#606060", "#0000ff", "#00c000"]


def chart(rows, column, left, top, width, height, label):
    teams = sorted({r["team"] for r in rows})
    turns = [int(r["turn"]) for r in rows]
    last_turn = max(turns) if turns else 1
    top_value = max([int(r[column]) for r in rows] + [1])
    out = [f'<rect x="{left}" y="{top}" width="{width}" height="{height}" fill="#fafafa" stroke="#888"/>',
           f'<text x="{left + width / 2}" y="{top - 8}" text-anchor="middle" font-size="14">{label}</text>',
           f'<text x="{left - 6}" y="{top + 10}" text-anchor="end" font-size="11">{top_value}</text>',
           f'<text x="{left - 6}" y="{top + height}" text-anchor="end" font-size="11">0</text>',
           f'<text x="{left + width}" y="{top + height + 16}" text-anchor="end" font-size="11">turn {last_turn}</text>']
    for team in teams:
        points = [(int(r["turn"]), int(r[column])) for r in rows if r["team"] == team]
        path = " ".join(f"{left + width * t / last_turn:.1f},{top + height - height * v / top_value:.1f}"
                        for t, v in points)
        colour = COLOURS[(ord(team) - ord("A")) % len(COLOURS)]
        out.append(f'<polyline fill="none" stroke="{colour}" stroke-width="1.6" points="{path}"/>')
    return out


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    with open(sys.argv[1], newline="") as f:
        rows = list(csv.DictReader(f))
    title = sys.argv[3] if len(sys.argv) > 3 else "A campaign"
    width, height = 900, 330
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" font-family="sans-serif">',
             f'<rect width="{width}" height="{height}" fill="white"/>',
             f'<text x="{width / 2}" y="22" text-anchor="middle" font-size="16">{title}</text>']
    parts += chart(rows, "land", 50, 60, 360, 220, "Land (cells owned)")
    parts += chart(rows, "units", 480, 60, 360, 220, "Units")
    for i, team in enumerate(sorted({r["team"] for r in rows})):
        colour = COLOURS[(ord(team) - ord("A")) % len(COLOURS)]
        parts.append(f'<text x="{60 + i * 80}" y="{height - 12}" font-size="12" fill="{colour}">&#9632; team {team}</text>')
    parts.append("</svg>")
    with open(sys.argv[2], "w") as f:
        f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
