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
    return ('      <DeviceKeyButton name="%s" userdata="light_%d" float="true" pos="%d,%d,%d,%d" '
            'bkcolor="%s" hotbkcolor="#FF404040" bordersize="1" bordercolor="#FF505050" '
            'lightimage="%s" keysetimage="%s"/>' % (name, p, x, y, x + w, y + h, colour, LIGHT_IMAGE, KEYSET_IMAGE))


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
            '        <LightControl name="LightControlItem"/>',
            '        <KeySetControlUI name="KeySetControlItem"/>',
            '        <Container/>',
            '      </TabLayout>',
            '      <MacroSetControlUI name="MacroControlItem"/>',
            '      <Container/>',
            '      <VerticalLayout name="keyboard_system_page" inset="20,10,20,10" childpadding="8">',
            '        <Label text="Polling_Rate_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '        <HorizontalLayout height="28" childpadding="8">',
            '          <Option name="polling_rate_option_0" group="keyboard_polling_rate" text="Polling_Rate_option_0" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="polling_rate_option_1" group="keyboard_polling_rate" text="Polling_Rate_option_1" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="polling_rate_option_2" group="keyboard_polling_rate" text="Polling_Rate_option_2" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="polling_rate_option_3" group="keyboard_polling_rate" text="Polling_Rate_option_3" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '        </HorizontalLayout>',
            '        <HorizontalLayout height="28" childpadding="8">',
            '          <Option name="winlockflag_option" text="WinLock_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="wflag_option" text="WFlag_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="6flag_option" text="Key6Flag_text" resourcetext="true" width="150" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '        </HorizontalLayout>',
            '        <Label text="Repeat_Rate_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '        <Slider name="repeat_rate_slider" height="20" min="0" max="31"/>',
            '        <Label text="Repeat_Delay_text" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '        <HorizontalLayout height="28" childpadding="8">',
            '          <Option name="repeat_delay_check_0" group="keyboard_repeat_delay" text="Repeat_Delay_option_0" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="repeat_delay_check_1" group="keyboard_repeat_delay" text="Repeat_Delay_option_1" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="repeat_delay_check_2" group="keyboard_repeat_delay" text="Repeat_Delay_option_2" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '          <Option name="repeat_delay_check_3" group="keyboard_repeat_delay" text="Repeat_Delay_option_3" resourcetext="true" width="100" textcolor="#FFE0E0E0" selectedbkcolor="#FF2F8FFF"/>',
            '        </HorizontalLayout>',
            '        <Label name="repeat_delay_time_label1" height="24" textcolor="#FFE0E0E0"/>',
            '        <RichEdit name="repeat_input_richedit" height="48" textcolor="#FFE0E0E0" bkcolor="#FF242933"/>',
            '        <Label text="Key_Shake_title" resourcetext="true" height="24" textcolor="#FFE0E0E0"/>',
            '        <HorizontalLayout height="24" childpadding="8">',
            '          <Slider name="key_shake_slider" width="300" height="20" min="0" max="4"/>',
            '          <Edit name="key_shake_edit" width="50" height="24" numberonly="true" textcolor="#FFE0E0E0" bkcolor="#FF242933"/>',
            '          <Label name="key_shake_text" width="80" height="24" textcolor="#FFE0E0E0"/>',
            '        </HorizontalLayout>',
            '      </VerticalLayout>',
            '      <VerticalLayout name="keyboard_screen_page">',
            '        <Edit name="frame_interval_time_edit" height="24" numberonly="true"/>',
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
