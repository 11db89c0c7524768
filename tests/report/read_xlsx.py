"""Prints what an .xlsx file holds, one fact a line, for the writer's tests.

sheets <names> active=<name>
<sheet>!<cell> <value> <font> <size> <colour|-> <alignment|-> <thin edges LTRB|->
<sheet> merge <range>
<sheet> width <column> <pixels>
<sheet> image <editAs> from <col> <colOff> <row> <rowOff> to <col> <colOff> <row> <rowOff> size <w>x<h>
<sheet> chart <type> from <col> <row> "<title>" x "<axis title>" y "<axis title>" unit <y major unit|None>
<sheet> series "<name>" x <reference> y <reference> markers <symbol>

A value is a text as JSON, a number as JSON followed by its number format
in brackets ("448.0 [0.0]"), a date as date:YYYY-MM-DD [format].
"""

import datetime
import json
import re
import sys

import openpyxl
import openpyxl.reader.excel
from openpyxl.cell.text import Text
from openpyxl.worksheet._reader import WorksheetReader
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import iterparse


def keep_merged_cells(reader):
    """openpyxl blanks the cells inside a merged area and moves borders
    around; the tests need the cells as the file stores them."""
    merged = reader.parser.merged_cells
    reader.ws.merged_areas = [area.ref for area in merged.mergeCell] if merged else []


def read_strings_as_excel(source):
    """Shared strings decoded as Excel shows them: every _xHHHH_ is the
    character HHHH (openpyxl decodes only _x005F_, and that loosely)."""
    tag = "{%s}si" % SHEET_MAIN_NS
    strings = []
    for _, node in iterparse(source):
        if node.tag == tag:
            text = Text.from_tree(node).content
            strings.append(re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text))
            node.clear()
    return strings


WorksheetReader.bind_merged_cells = keep_merged_cells
openpyxl.reader.excel.read_string_table = read_strings_as_excel


def edges(border):
    sides = zip("LTRB", (border.left, border.top, border.right, border.bottom))
    letters = "".join(letter for letter, side in sides if side is not None and side.style == "thin")
    return letters or "-"


def value_text(cell):
    if isinstance(cell.value, datetime.datetime):
        return "date:{} [{}]".format(cell.value.date().isoformat(), cell.number_format)
    if isinstance(cell.value, (int, float)):
        return "{} [{}]".format(json.dumps(cell.value), cell.number_format)
    return json.dumps(cell.value, ensure_ascii=False)


def cell_line(ws, cell):
    font = cell.font
    color = font.color.rgb if font.color is not None and font.color.type == "rgb" else "-"
    return "{}!{} {} {} {:g} {} {} {}".format(
        ws.title, cell.coordinate, value_text(cell), font.name, font.sz,
        color, cell.alignment.horizontal or "-", edges(cell.border))


def rich_text(title):
    """The plain text of a chart or axis title."""
    if title is None or title.tx is None or title.tx.rich is None:
        return ""
    return "".join(run.t for p in title.tx.rich.p for run in (p.r or []))


def chart_lines(ws, chart):
    anchor = chart.anchor._from
    lines = ['{} chart {} from {} {} "{}" x "{}" y "{}" unit {}'.format(
        ws.title, chart.tagname, anchor.col, anchor.row, rich_text(chart.title),
        rich_text(chart.x_axis.title), rich_text(chart.y_axis.title), chart.y_axis.majorUnit)]
    for series in chart.series:
        name = series.tx.v if series.tx is not None else ""
        marker = series.marker.symbol if series.marker is not None else "-"
        lines.append('{} series "{}" x {} y {} markers {}'.format(
            ws.title, name, series.xVal.numRef.f, series.yVal.numRef.f, marker))
    return lines


def pixels(width):
    # Excel's rule for a stored width with Calibri 11's 7-pixel digit.
    return int(((256 * width + int(128 / 7)) / 256) * 7)


def marker(m):
    return "{} {} {} {}".format(m.col, m.colOff, m.row, m.rowOff)


def main(path):
    book = openpyxl.load_workbook(path)
    lines = ["sheets {} active={}".format(",".join(book.sheetnames), book.active.title)]
    for ws in book.worksheets:
        lines += [cell_line(ws, cell) for _, cell in sorted(ws._cells.items())]
        lines += ["{} merge {}".format(ws.title, area) for area in ws.merged_areas]
        lines += ["{} width {} {}".format(ws.title, letter, pixels(dim.width))
                  for letter, dim in ws.column_dimensions.items() if dim.customWidth]
        for image in ws._images:
            anchor = image.anchor
            lines.append("{} image {} from {} to {} size {}x{}".format(
                ws.title, anchor.editAs, marker(anchor._from), marker(anchor.to), image.width,
                image.height))
        for chart in ws._charts:
            lines += chart_lines(ws, chart)
    sys.stdout.buffer.write(("\n".join(lines) + "\n").encode("utf-8"))


main(sys.argv[1])
