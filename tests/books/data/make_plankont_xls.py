#!/usr/bin/python3
# Writes PlanKont.XLS, the .xls (BIFF8) workbook the chart import tests read.
# Run with the Debian interpreter, which has python3-xlwt:
#   /usr/bin/python3 tests/books/data/make_plankont_xls.py tests/books/data/PlanKont.XLS
import sys
import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Plan")
# Heading: NAZ in column 3 (lower case), NIP and HAS named; SYM, SYM1, SYM2
# stay in their usual columns 6, 7 and 8; no ADR and no DOD.
for col, text in [(0, "Lp"), (2, "naz"), (9, "NIP"), (10, "HAS")]:
    sheet.write(0, col, text)
rows = [
    # row, SYM, SYM1, SYM2, NAZ, NIP, HAS
    (1, "201", "000", "05", "Kowalski, Łódź", "", ""),
    (2, "202", "01", "", "Źródło sp. z o.o.", "123-456-78-90", "ŹRÓDŁO"),
    (3, "ABC", "", "", "Nie zapisany", "", ""),
    (4, 700, "", "", "Sprzedaż towarów żółć ĄĆĘŁŃÓŚŻŹ", "", ""),
    (5, 100.0, "", "", "Kasa gotówkowa złotówkowa długa nazwa", "", ""),
    # rows 7 to 14 empty: the import stops before row 15
    (14, "999", "", "", "Za przerwą", "", ""),
]
for row, sym, sym1, sym2, naz, nip, has in rows:
    sheet.write(row, 5, sym)
    if sym1:
        sheet.write(row, 6, sym1)
    if sym2:
        sheet.write(row, 7, sym2)
    sheet.write(row, 2, naz)
    if nip:
        sheet.write(row, 9, nip)
    if has:
        sheet.write(row, 10, has)
book.save(sys.argv[1])
