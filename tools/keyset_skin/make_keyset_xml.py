#!/usr/bin/env python3
"""Writes skin/XML/CustomControlXML/KeySetControl.xml, the key-assignment page.

The combo rows and the key picker follow the key tables of link/base/key_tables.cpp
(their order and their name keys), so the template is generated from them:
    tools/keyset_skin/make_keyset_xml.py > skin/XML/CustomControlXML/KeySetControl.xml
"""
import re
import sys
from pathlib import Path
from xml.sax.saxutils import quoteattr

ROOT = Path(__file__).resolve().parents[2]
TABLES = (ROOT / "link" / "base" / "key_tables.cpp").read_text(encoding="utf-8")


def c_string(text):
    return re.sub(r"\\(.)", r"\1", text)


def table_body(name):
    start = TABLES.index(name + "[")
    return TABLES[start:TABLES.index("};", start)]


STRING = r'L"((?:[^"\\]|\\.)*)"'
NAMES = [c_string(s) for s in re.findall(STRING, table_body("KeyNameTable"))]
DISPLAY = [(c_string(k), c_string(t)) for k, t in re.findall(r"\{" + STRING + r",\s*" + STRING + r"\}",
                                                              table_body("KeyDisplayTable"))]
assert len(NAMES) == 232 and len(DISPLAY) == 143

PICKER_KEYS = 126
# The picker spans the page (the window's 1000 skin pixels less the page's
# insets) in at most PICKER_ROWS rows of keys as wide as their names.
PICKER_WIDTH = 1000 - 2 * 12
PICKER_ROWS = 7
PICKER_GAP = 2
PICKER_FONT_SIZE = 14
PICKER_TEXT_ROOM = 10
# Advance widths (per 2048 units of the em) of DejaVu Sans, the face the
# program's text falls back to; other characters count as 900.
ADVANCES = dict(zip("abcdefghijklmnopqrstuvwxyz",
                    (1255, 1300, 1126, 1300, 1260, 721, 1300, 1298, 569, 569, 1186, 569, 1995, 1298, 1253, 1300, 1300,
                     842, 1067, 803, 1298, 1212, 1675, 1212, 1212, 1075)))
ADVANCES.update(zip("ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                    (1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604, 604, 1343, 1141, 1767, 1532, 1612, 1235,
                     1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403)))
ADVANCES.update({digit: 1303 for digit in "0123456789"})
ADVANCES[" "] = 651
COMBO = 'width="220" height="26" bkcolor="#FF303030" textcolor="#FFFFFFFF" itemtextcolor="#FFFFFFFF" ' \
        'itembkcolor="#FF303030" itemhotbkcolor="#FF404040" itemselectedbkcolor="#FF2F8FFF"'
EDIT = 'width="60" height="22" numberonly="true" bkcolor="#FF303030" textcolor="#FFFFFFFF"'
TITLE = 'width="110" textcolor="#FFE0E0E0" resourcetext="true"'
BUTTON = 'height="26" bkcolor="#FF404040" hotbkcolor="#FF505050" textcolor="#FFFFFFFF" ' \
         'disabledtextcolor="#FF707070" resourcetext="true"'
OPTION = 'textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF" resourcetext="true"'

out = []
w = out.append


def items(keys, indent, userdata=None):
    for i, key in enumerate(keys):
        data = f' userdata="{userdata[i]}"' if userdata else ""
        w(f'{indent}<ListLabelElement text={quoteattr(key)} resourcetext="true" height="30"{data}/>')


def combo(name, keys, indent):
    w(f'{indent}<Combo name="{name}" {COMBO}>')
    items(keys, indent + "  ")
    w(f'{indent}</Combo>')


def row(title, indent="        "):
    w(f'{indent}<HorizontalLayout height="30" childpadding="8">')
    w(f'{indent}  <Label text="{title}" {TITLE}/>')


def end_row(indent="        "):
    w(f'{indent}</HorizontalLayout>')


def text_width(text):
    return sum(ADVANCES.get(ch, 900) for ch in text) * PICKER_FONT_SIZE / 2048


def pack_rows(widths):
    """Splits the keys, in order, into rows that fit the picker's width."""
    rows, row, used = [], [], 0
    for n, width in enumerate(widths):
        need = width + (PICKER_GAP if row else 0)
        if row and used + need > PICKER_WIDTH:
            rows.append(row)
            row, used, need = [], 0, width
        row.append(n)
        used += need
    rows.append(row)
    return rows


def picker_rows(texts):
    """Rows of (key, width): every key as wide as its name, the narrow ones as
    wide as the rows allow, each row stretched to the picker's full width."""
    needed = [text_width(t) + PICKER_TEXT_ROOM for t in texts]
    least = 0
    while len(pack_rows([max(least + 2, w) for w in needed])) <= PICKER_ROWS:
        least += 2
    widths = [max(least, w) for w in needed]
    result = []
    for row in pack_rows(widths):
        room = PICKER_WIDTH - PICKER_GAP * (len(row) - 1)
        total = sum(widths[n] for n in row)
        edges = [round(room * sum(widths[m] for m in row[:i + 1]) / total) for i in range(len(row))]
        result.append([(n, edges[i] - (edges[i - 1] if i else 0)) for i, n in enumerate(row)])
    assert len(result) <= PICKER_ROWS
    return result


def page_start(name):
    w(f'      <VerticalLayout name="{name}" childpadding="4">')


def page_end():
    w('      </VerticalLayout>')


def table_page(name, title, combo_name, keys):
    page_start(name)
    row(title)
    combo(combo_name, keys, "          ")
    end_row()
    page_end()


def scroll_page(name, kind, directions):
    page_start(f"keyset_{kind}_page")
    row("keyset_direction_title")
    combo(f"keyset_{kind}_combo", directions, "          ")
    end_row()
    for field, title in (("num", "keyset_count_title"), ("delay", "keyset_delay_title"),
                         ("speed", "keyset_speed_title")):
        row(title)
        w(f'          <Edit name="keyset_{kind}_{field}_edit" {EDIT}/>')
        end_row()
    page_end()


w('<?xml version="1.0" encoding="utf-8"?>')
w('<!-- Written by tools/keyset_skin/make_keyset_xml.py from link/base/key_tables.cpp; edit those instead.')
w('     The key-assignment page: one tab page per function category (page index =')
w('     category = the user data of the category items). -->')
w('<KeySetControl name="KeySetControlItem" bkcolor="#FF1A1A1A">')
w('  <Label name="text_test" visible="false" resourcetext="true"/>')
w('  <Label name="keyset_hint" text="keyset_hint_text" resourcetext="true" visible="false" height="40" '
  'textpadding="12,0,12,0" textcolor="#FF8A9099"/>')
w('  <VerticalLayout name="keyset_layout" inset="12,8,12,8" childpadding="6">')
w('    <HorizontalLayout height="30" childpadding="8">')
w(f'      <Label text="keyset_function_title" {TITLE}/>')
w(f'      <Combo name="keyset_function_combo" {COMBO}>')
items([f"keyset_category_{c}" for c in range(12)], "        ", [str(c) for c in range(12)])
w('      </Combo>')
w('      <Control/>')
w(f'      <Button name="key_butt_keydefalut" text="keyset_default_btn" width="80" {BUTTON}/>')
w(f'      <Button name="key_butt_keysave" text="keyset_save_btn" width="80" enabled="false" {BUTTON}/>')
w(f'      <Button name="key_butt_keycancel" text="keyset_cancel_btn" width="80" enabled="false" {BUTTON}/>')
w(f'      <Button name="key_butt_prosave" text="keyset_device_save_btn" width="110" enabled="false" {BUTTON}/>')
w('    </HorizontalLayout>')
w('    <TabLayout name="function_switch_tablayout" selectedid="0">')
# 0 default
page_start("keyset_default_page")
w('        <Label text="keyset_default_hint" height="30" textcolor="#FF8A9099" resourcetext="true"/>')
page_end()
# 1 mouse key
table_page("keyset_mousekey_page", "keyset_mousekey_title", "keyset_mousekey_combo", NAMES[68:73])
# 2 horizontal and 3 vertical scroll
scroll_page("mouseswing", "mouseswing", NAMES[66:68])
scroll_page("mousewheel", "mousewheel", NAMES[64:66])
# 4 DPI
table_page("keyset_mousedpi_page", "keyset_dpi_title", "keyset_mousedpi_combo", NAMES[61:64])
# 5 fire
page_start("keyset_mousefire_page")
row("keyset_fire_interval_title")
w(f'          <Edit name="keyset_mousefire_interval_edit" text="50" {EDIT}/>')
end_row()
row("keyset_fire_count_title")
w(f'          <Edit name="keyset_mousefire_num_edit" text="2" {EDIT}/>')
end_row()
page_end()
# 6 keyboard key
page_start("keyset_keyboard_page")
row("keyset_modifier_title")
for n in range(5):
    w(f'          <Option indicator="radio" name="key_ComBox_check_{n}" group="keyset_modifier" text="keyset_modifier_{n}" '
      f'width="70" height="26" {OPTION}/>')
end_row()
row("keyset_key_title")
w('          <Edit name="keyset_keyboard_text_edit" width="220" height="22" bkcolor="#FF303030" '
  'textcolor="#FFFFFFFF"/>')
end_row()
w(f'        <VerticalLayout name="keyset_keyboard_picker" height="154" childpadding="{PICKER_GAP}">')
for picker_row in picker_rows([text for _, text in DISPLAY[:PICKER_KEYS]]):
    w(f'          <HorizontalLayout height="20" childpadding="{PICKER_GAP}">')
    for n, width in picker_row:
        text = quoteattr(DISPLAY[n][1])
        w(f'            <Option name="keyboard_key_{n}" group="keyset_picker" text={text} userdata={text} '
          f'width="{width}" height="20" endellipsis="true" bkcolor="#FF303030" textcolor="#FFE0E0E0" '
          'selectedbkcolor="#FF2F8FFF"/>')
    w('          </HorizontalLayout>')
w('        </VerticalLayout>')
page_end()
# 7 media, 8 system
table_page("keyset_media_page", "keyset_media_title", "keyset_media_combo", NAMES[43:61])
table_page("keyset_system_page", "keyset_system_title", "keyset_system_combo", NAMES[39:42])
# 9 macro
page_start("keyset_macro_page")
row("keyset_macro_title")
w(f'          <Combo name="keyset_macro_combo" {COMBO}/>')
end_row()
row("keyset_play_mode_title")
combo("keyset_macro_over_combo", [f"keyset_play_mode_{n}" for n in range(5)], "          ")
end_row()
w('        <HorizontalLayout name="keyset_macro_cycle_layout" height="30" childpadding="8" visible="false">')
w(f'          <Label text="keyset_repeat_count_title" {TITLE}/>')
w(f'          <Edit name="keyset_macro_cycle_edit" {EDIT}/>')
w('        </HorizontalLayout>')
page_end()
# 10 gun, 11 combination
table_page("keyset_gunkey_page", "keyset_gun_title", "keyset_gunkey_combo", NAMES[0:4])
table_page("keyset_combokey_page", "keyset_combo_title", "keyset_combokey_combo", NAMES[4:15])
w('    </TabLayout>')
w('  </VerticalLayout>')
w('</KeySetControl>')
sys.stdout.write("\n".join(out) + "\n")
