#!/usr/bin/env python3
"""Writes the keyboard page skin (skin/XML/DeviceXml/keyboarddevice.xml) from
the table of key rectangles (key_rects.txt beside this script).

The page shows one of three key layout pictures ("keyboard_device_key_light_0"
to "_2", one per keyboard language); each holds a "DeviceKeyButton" per key
position: keys 0..125 are named "key_<p>", the light strip 126..169
"light_<p>", and every button carries "light_<p>" as user data. The sixth
child of a picture is the GM key (position 16), which the keys tab disables.

Usage: make_keyboard_xml.py [--check]   (--check: fail when the skin is stale)
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
TARGET = ROOT / "skin" / "XML" / "DeviceXml" / "keyboarddevice.xml"
LAYOUTS = 3
LAST_KEY = 125
GM_KEY = 16
PICTURE_POS = "10,10,730,190"
LIGHT_IMAGE = "keyboard\\key_light.png"
KEYSET_IMAGE = "keyboard\\key_set_mark.png"
# Drawn by tools/skin_images for every key position up to LAST_KEY.
LEGEND_IMAGE = "keyboard\\legend\\key_%d.png"


def read_rects():
    rects = []
    for line in (HERE / "key_rects.txt").read_text().splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        p, x, y, w, h = (int(v) for v in line.split())
        rects.append((p, x, y, w, h))
    return rects


def ordered(rects):
    # The GM key is the sixth child of each picture.
    rest = [r for r in rects if r[0] != GM_KEY]
    gm = [r for r in rects if r[0] == GM_KEY]
    return rest[:5] + gm + rest[5:]


def button(p, x, y, w, h):
    name = "key_%d" % p if p <= LAST_KEY else "light_%d" % p
    colour = "#FF303030" if p <= LAST_KEY else "#FF202020"
    legend = ' legendimage="%s"' % (LEGEND_IMAGE % p) if p <= LAST_KEY else ''
    return ('      <DeviceKeyButton name="%s" userdata="light_%d" float="true" pos="%d,%d,%d,%d" '
            'bkcolor="%s" hotbkcolor="#FF404040" bordersize="1" bordercolor="#FF505050" '
            'lightimage="%s"%s keysetimage="%s"/>' % (name, p, x, y, x + w, y + h, colour, LIGHT_IMAGE, legend,
                                                     KEYSET_IMAGE))


def render():
    rects = ordered(read_rects())
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           '<!-- Written by tools/keyboard_skin/make_keyboard_xml.py from key_rects.txt; edit those instead. -->',
           '<CorvaneKeyboardDevice name="keyboard_device_page">',
           '  <VerticalLayout>',
           '    <Label name="text_test" visible="false"/>',
           '    <Container name="keyboard_device_picture" height="200">']
    for layout in range(LAYOUTS):
        visible = "true" if layout == 0 else "false"
        out.append('    <Container name="keyboard_device_key_light_%d" float="true" pos="%s" visible="%s">'
                   % (layout, PICTURE_POS, visible))
        out.extend("  " + button(*r) for r in rects)
        out.append('    </Container>')
    out += ['    </Container>',
            '    <TabLayout name="device_function_switch">',
            '      <TabLayout name="device_key_function_switch">',
            '        <LightSetControlUI name="LightControlItem"/>',
            '        <KeySetControlUI name="KeySetControlItem"/>',
            '        <Container/>',
            '      </TabLayout>',
            '      <MacroSetControlUI name="MacroControlItem"/>',
            '      <Container/>',
            '      <!-- Two columns, so that the page fits under the keyboard\'s picture. -->',
            '      <HorizontalLayout name="keyboard_system_page" inset="20,10,20,10" childpadding="24">',
            '        <VerticalLayout width="470" childpadding="8">',
            '          <Label text="Polling_Rate_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '          <HorizontalLayout height="28" childpadding="8">',
            '            <Option indicator="radio" name="polling_rate_option_0" group="keyboard_polling_rate" text="Polling_Rate_option_0" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="polling_rate_option_1" group="keyboard_polling_rate" text="Polling_Rate_option_1" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="polling_rate_option_2" group="keyboard_polling_rate" text="Polling_Rate_option_2" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="polling_rate_option_3" group="keyboard_polling_rate" text="Polling_Rate_option_3" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          </HorizontalLayout>',
            '          <HorizontalLayout height="28" childpadding="8">',
            '            <Option indicator="check" name="winlockflag_option" text="WinLock_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="check" name="wflag_option" text="WFlag_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="check" name="6flag_option" text="Key6Flag_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          </HorizontalLayout>',
            '          <Label text="Repeat_Delay_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '          <HorizontalLayout height="28" childpadding="8">',
            '            <Option indicator="radio" name="repeat_delay_check_0" group="keyboard_repeat_delay" text="Repeat_Delay_option_0" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="repeat_delay_check_1" group="keyboard_repeat_delay" text="Repeat_Delay_option_1" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="repeat_delay_check_2" group="keyboard_repeat_delay" text="Repeat_Delay_option_2" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '            <Option indicator="radio" name="repeat_delay_check_3" group="keyboard_repeat_delay" text="Repeat_Delay_option_3" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          </HorizontalLayout>',
            '          <Label name="repeat_delay_time_label1" height="24" textcolor="#FFE0E0E0"/>',
            '        </VerticalLayout>',
            '        <VerticalLayout childpadding="8">',
            '          <Label text="Repeat_Rate_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '          <Slider name="repeat_rate_slider" height="20" min="0" max="31"/>',
            '          <HorizontalLayout height="48" childpadding="8">',
            '            <RichEdit name="repeat_input_richedit" height="48" textcolor="#FFE0E0E0" bkcolor="#FF242933"/>',
            '            <Button name="reset_repeat_btn" text="reset_repeat_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '          </HorizontalLayout>',
            '          <Label text="Key_Shake_title" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '          <HorizontalLayout height="24" childpadding="8">',
            '            <Slider name="key_shake_slider" width="300" height="20" min="0" max="4"/>',
            '            <Edit name="key_shake_edit" width="50" height="24" numberonly="true" textcolor="#FFE0E0E0" bkcolor="#FF242933"/>',
            '            <Label name="key_shake_text" width="80" height="24" textcolor="#FFE0E0E0"/>',
            '          </HorizontalLayout>',
            '        </VerticalLayout>',
            '      </HorizontalLayout>',
            '      <VerticalLayout name="keyboard_screen_page" inset="20,10,20,10" childpadding="8">',
            '        <HorizontalLayout height="28" childpadding="8">',
            '          <Option name="frame_option" group="keyboard_screen_pages" selected="true" text="screen_frames_text" resourcetext="true" width="120" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="uploading_option" group="keyboard_screen_pages" text="screen_uploading_text" resourcetext="true" width="120" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Label text="screen_frame_count_title" resourcetext="true" width="80" textcolor="#FFE0E0E0"/>',
            '          <Label name="frame_count_label" text="1" width="40" textcolor="#FFE0E0E0"/>',
            '        </HorizontalLayout>',
            '        <HorizontalLayout height="28" childpadding="8">',
            '          <Label text="screen_mode_title" resourcetext="true" width="100" textcolor="#FFE0E0E0"/>',
            '          <Combo name="screen_mode_combo_Select" width="160" height="26" bkcolor="#FF303030" textcolor="#FFFFFFFF">',
            '            <ListLabelElement text="screen_mode_0" resourcetext="true" height="30"/>',
            '            <ListLabelElement text="screen_mode_1" resourcetext="true" height="30"/>',
            '          </Combo>',
            '          <Label text="screen_interval_title" resourcetext="true" width="140" textcolor="#FFE0E0E0"/>',
            '          <Edit name="frame_interval_time_edit" width="80" height="24" numberonly="true" textcolor="#FFE0E0E0" bkcolor="#FF242933"/>',
            '        </HorizontalLayout>',
            '        <TabLayout name="screen_function_switch" height="100">',
            '          <VerticalLayout childpadding="6">',
            '            <HorizontalLayout height="28" childpadding="8">',
            '              <Combo name="Screen_tool_combo_Select" width="110" height="26" bkcolor="#FF303030" textcolor="#FFFFFFFF">',
            '                <ListLabelElement text="screen_tool_pen" resourcetext="true" height="30"/>',
            '                <ListLabelElement text="screen_tool_eraser" resourcetext="true" height="30"/>',
            '              </Combo>',
            '              <Combo name="Pixel_size_combo_Select" width="70" height="26" bkcolor="#FF303030" textcolor="#FFFFFFFF">',
            ]
    for n in range(1, 6):
        out.append('                <ListLabelElement text="%d" height="30"/>' % n)
    out += [
            '              </Combo>',
            '              <Button name="Pen_Color_Opation" width="26" height="26" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF808080"/>',
            '              <Button name="Bkground_Color_Opation" width="26" height="26" bkcolor="#FF000000" bordersize="1" bordercolor="#FF808080"/>',
            '              <Button name="screen_undo_btn" text="screen_undo_text" resourcetext="true" width="80" height="26" enabled="false" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="clear_frame_btn" text="screen_clear_frame_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="reversal_frame_btn" text="screen_reversal_frame_text" resourcetext="true" width="100" height="26" visible="false" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="reversal_all_frame_btn" text="screen_reversal_all_text" resourcetext="true" width="100" height="26" visible="false" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '            </HorizontalLayout>',
            '            <HorizontalLayout height="28" childpadding="8">',
            '              <Button name="add_frame_btn" text="screen_add_frame_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="delete_frame_btn" text="screen_delete_frame_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="clear_all_frame_btn" text="screen_clear_all_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="save_frame_btn" text="screen_save_frame_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="save_all_frame_btn" text="screen_save_all_text" resourcetext="true" width="100" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '            </HorizontalLayout>',
            '            <HorizontalLayout height="28" childpadding="8">',
            '              <Button name="import_pictrue_btn" text="screen_import_picture_text" resourcetext="true" width="120" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="import_gif_btn" text="screen_import_animation_text" resourcetext="true" width="120" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="save_pictrue_btn" text="screen_export_picture_text" resourcetext="true" width="120" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="save_gif_btn" text="screen_export_video_text" resourcetext="true" width="120" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '            </HorizontalLayout>',
            '          </VerticalLayout>',
            '          <VerticalLayout childpadding="6">',
            '            <HorizontalLayout height="28" childpadding="8">',
            '              <Button name="uploading_frame_btn" text="screen_upload_frame_text" resourcetext="true" width="140" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="uploading_all_frame_btn" text="screen_upload_all_text" resourcetext="true" width="140" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '              <Button name="save_to_bin" text="screen_save_data_text" resourcetext="true" width="140" height="26" bkcolor="#FF404040" textcolor="#FFFFFFFF"/>',
            '            </HorizontalLayout>',
            '          </VerticalLayout>',
            '        </TabLayout>',
            '        <HorizontalLayout name="screen_view_tab" height="72" hscrollbar="true" bkcolor="#FF181C24"/>',
            '      </VerticalLayout>',
            '    </TabLayout>',
            '    <DeviceProfileUI name="DeviceProfileItem"/>',
            '  </VerticalLayout>',
            '</CorvaneKeyboardDevice>']
    return "\n".join(out) + "\n"


def main():
    text = render()
    if "--check" in sys.argv[1:]:
        if not TARGET.exists() or TARGET.read_text() != text:
            print("%s is stale: run %s" % (TARGET, pathlib.Path(__file__).name), file=sys.stderr)
            return 1
        return 0
    TARGET.parent.mkdir(parents=True, exist_ok=True)
    TARGET.write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
