"""Checks a trial balance workbook written by zel-batch (openpyxl).

- rows 1 and 2 hold the headings in bold; heading 1 of every Wn/Ma pair is
  merged over the pair; panes are frozen below row 2 and B3 is selected
- text cells are strings with the format "@"; numeric cells are numbers
  with a "#,##0.00" format, never formulas
- each amount column summed over the account rows of the highest level
  ("[zespół]" lines) equals the column's cell in the "RAZEM" row
"""
import sys

import openpyxl

path = sys.argv[1]
ws = openpyxl.load_workbook(path).active
fail = []

if ws.freeze_panes != "A3":
    fail.append(f"panes frozen at {ws.freeze_panes}, expected A3")
if [s.activeCell for s in ws.sheet_view.selection] != ["B3"]:
    fail.append("B3 is not selected")
merged = {str(r) for r in ws.merged_cells.ranges}
for want in ("D1:E1", "F1:G1", "H1:I1", "J1:K1"):
    if want not in merged:
        fail.append(f"heading {want} not merged: {sorted(merged)}")
for cell in ws[1] + ws[2]:
    if cell.value is not None and not cell.font.b:
        fail.append(f"heading {cell.coordinate} not bold")
if ws["B1"].value != "Symbol" or ws["D1"].value != "Bilans otwarcia":
    fail.append(f"headings: {ws['B1'].value!r} {ws['D1'].value!r}")

total = None
sums = [0.0] * 8
for row in ws.iter_rows(min_row=3):
    label = row[1].value
    for cell in row[1:3]:
        if cell.value is not None:
            if cell.data_type != "s" or cell.number_format != "@":
                fail.append(f"{cell.coordinate} text {cell.value!r} as {cell.data_type} {cell.number_format}")
    for cell in row[3:11]:
        if cell.value is None:
            continue
        if cell.data_type != "n" or cell.number_format != "#,##0.00":
            fail.append(f"{cell.coordinate} {cell.value!r} as {cell.data_type} {cell.number_format}")
    amounts = [c.value or 0.0 for c in row[3:11]]
    if isinstance(label, str) and "[zespół]" in label:
        sums = [a + b for a, b in zip(sums, amounts)]
    if label == "RAZEM":
        total = amounts
if total is None:
    fail.append("no RAZEM row")
else:
    for i, (s, t) in enumerate(zip(sums, total)):
        if abs(s - t) > 0.005:
            fail.append(f"column {chr(ord('D') + i)}: groups sum to {s:.2f}, RAZEM says {t:.2f}")
for f in fail[:20]:
    print(f)
sys.exit(1 if fail else 0)
