"""Reads a workbook or a document back with readers that are not ours
(openpyxl, python-docx) and prints what the tests check, as JSON.

usage: read_office.py FILE [PICTURE_OUT]
PICTURE_OUT receives the bytes of the first picture stored in the file.
"""
import json
import sys
import xml.etree.ElementTree as ET
import zipfile

XDR = "{http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing}"
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"


def workbook(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    cells = {}
    for row in sheet.iter_rows():
        for c in row:
            if c.value is not None:
                cells["%d,%d" % (c.row, c.column)] = {"text": c.value, "format": c.number_format,
                                                      "type": c.data_type}
    columns = {}
    for key, dim in sheet.column_dimensions.items():
        columns[key] = {"min": dim.min, "max": dim.max, "format": dim.number_format}
    waves = book.worksheets[1]
    sample = [[c.value for c in row] for row in waves.iter_rows(min_row=1, max_row=3)]
    with zipfile.ZipFile(path) as z:
        drawing = ET.fromstring(z.read("xl/drawings/drawing1.xml"))
        anchor = drawing[0]
        frm = anchor.find(XDR + "from")
        ext = anchor.find(".//" + A + "ext")
        picture = {k: int(frm.find(XDR + k).text) for k in ("col", "colOff", "row", "rowOff")}
        picture.update(cx=int(ext.get("cx")), cy=int(ext.get("cy")))
        media = [n for n in z.namelist() if n.startswith("xl/media/")]
        blob = z.read(media[0]) if media else b""
        charts = [n for n in z.namelist() if n.startswith("xl/charts/chart")]
    return {
        "sheets": book.sheetnames,
        "cells": cells,
        "merged": [str(r) for r in sheet.merged_cells.ranges],
        "a1_centred": sheet["A1"].alignment.horizontal,
        "columns": columns,
        "wave_rows": waves.max_row,
        "wave_sample": sample,
        "wave_last": [c.value for c in waves[waves.max_row]],
        "picture": picture,
        "charts": len(charts),
    }, blob


def document(path):
    import docx
    from docx.table import _Cell
    doc = docx.Document(path)
    table = doc.tables[0]
    rows = []
    for tr in table._tbl.tr_lst:
        rows.append([_Cell(tc, table).text for tc in tr.tc_lst])
    shapes = doc.inline_shapes
    picture = {}
    blob = b""
    if len(shapes):
        shape = shapes[0]
        inline = shape._inline
        rid = inline.graphic.graphicData.pic.blipFill.blip.embed
        blob = doc.part.related_parts[rid].blob
        # The paragraph holding the picture and its text around it.
        p = inline.getparent()
        while p is not None and p.tag != docx.oxml.ns.qn("w:p"):
            p = p.getparent()
        body = doc.element.body
        picture = {"cx": shape.width, "cy": shape.height,
                   "paragraph_text": "".join(t.text or "" for t in p.iter(docx.oxml.ns.qn("w:t"))),
                   "paragraph_index": list(body).index(p) if p.getparent() is body else -1}
    # Han characters and full-width colons anywhere in the main part, its
    # attributes (font names) included.
    with zipfile.ZipFile(path) as z:
        main = z.read("word/document.xml").decode("utf-8")
    chinese = "".join(c for c in main if "\u4e00" <= c <= "\u9fff" or c == "\uff1a")
    return {"rows": rows, "pictures": len(shapes), "picture": picture,
            "paragraphs": [p.text for p in doc.paragraphs], "chinese": chinese}, blob


def main():
    path = sys.argv[1]
    result, blob = workbook(path) if path.lower().endswith(".xlsx") else document(path)
    if len(sys.argv) > 2:
        with open(sys.argv[2], "wb") as f:
            f.write(blob)
    json.dump(result, sys.stdout, ensure_ascii=False)


main()
