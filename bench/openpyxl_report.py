#!/usr/bin/env python3
"""Reference for the report benchmark: writes the sheet Marlo's report writes
for a Leeb batch of N items (the same texts, Times New Roman 10, alignments,
merges and a thin border around every cell of A1:I(28+N)) with openpyxl, and
embeds the same picture.

    openpyxl_report.py N OUT.xlsx [PICTURE.bmp]
"""
import sys

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, Side

THIN = Side(style="thin")
FRAME = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
FONT = Font(name="Times New Roman", size=10)
ALIGN = {
    "c": Alignment(horizontal="center"),
    "l": Alignment(horizontal="left"),
    "r": Alignment(horizontal="right"),
}


def put(sheet, address, text, align):
    cell = sheet[address]
    cell.value = text
    cell.font = FONT
    cell.alignment = ALIGN[align]


def main():
    count = int(sys.argv[1])
    out = sys.argv[2]
    picture = sys.argv[3] if len(sys.argv) > 3 else None
    book = Workbook()
    sheet = book.active

    for row in (1, 2, 7):
        sheet.merge_cells(f"A{row}:I{row}")
    put(sheet, "A1", "TitleOne", "c")
    put(sheet, "A2", "TitleTwo", "c")
    for row, left, right in ((3, "Department:", "Date:"), (4, "Specimen:", "Operator:")):
        sheet.merge_cells(f"B{row}:E{row}")
        sheet.merge_cells(f"G{row}:I{row}")
        put(sheet, f"A{row}", left, "r")
        put(sheet, f"B{row}", "text", "l")
        put(sheet, f"F{row}", right, "r")
        put(sheet, f"G{row}", "text", "l")
    sheet.merge_cells("A5:A6")
    put(sheet, "A5", "Parameters:", "r")
    labels = ["Lower Limit", "Upper Limit", "Sampling Rate", "Quantity", "Test Model", "Test Method"]
    values = ["0.0", "3000.0", "1.0%", str(count), "Batch", "Leeb"]
    for column, label, value in zip("BCDEFG", labels, values):
        put(sheet, f"{column}5", label, "c")
        put(sheet, f"{column}6", value, "c")

    for column, text in zip("ABCDEFGI", ["S/N", "NAME", "HD SCALE", "IMPACT", "DIR", "VALUE", "DATE", "NG/Pass"]):
        put(sheet, f"{column}8", text, "c")
    sheet.merge_cells("G8:H8")
    for index in range(count):
        row = 9 + index
        texts = [str(index + 1), f"P{index + 1:04d}", "HLD", "D", "\u2191", "452.8", "2016-05-04 10:20:30"]
        for column, text in zip("ABCDEFG", texts):
            put(sheet, f"{column}{row}", text, "c")
        sheet.merge_cells(f"G{row}:H{row}")
        put(sheet, f"I{row}", "Pass", "c")

    top = 9 + count
    sheet.merge_cells(f"A{top}:I{top + 15}")
    sheet.merge_cells(f"A{top + 16}:I{top + 16}")
    for column, label, value in zip("ABCDE", ["Total", "Average", "Min", "Max", "Deviation"],
                                    [str(count), "452.8", "452.8", "452.8", "0.0"]):
        put(sheet, f"{column}{top + 17}", label, "c")
        put(sheet, f"{column}{top + 18}", value, "c")
    last = top + 19
    sheet.merge_cells(f"A{last}:I{last}")

    for row in sheet.iter_rows(min_row=1, max_row=last, max_col=9):
        for cell in row:
            cell.border = FRAME

    if picture:
        from openpyxl.drawing.image import Image
        sheet.add_image(Image(picture), f"A{top}")
    book.save(out)


if __name__ == "__main__":
    main()
