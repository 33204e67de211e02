#!/usr/bin/env python3
"""What the running program costs, run by hand (not by CI).

Starts the real Tavrik (a RelWithDebInfo build, e.g. build-rel) under its own
Xvfb against tavrik-devsim serving a keyboard, a mouse and a headset, and
prints next to the goals:
  - CPU time and wall time until the main window is first shown painted;
  - CPU % of one core and wake-ups/s (voluntary context switches of all
    threads: a thread that gives up the core to wait; the switches forced by
    other work on the machine are left out) over a fixed time with the window
    shown, then hidden to the tray (close button);
  - the headset's LED reports/s while shown and hidden (its frame timer
    allows 50 frames of 12 reports a second), from the emulator's record;
  - the keyboard's live colour stream in mode 21 (music mode): frames/s and
    the gap between frame starts (p50, p99), from the emulator's record, and
    the program's CPU % meanwhile, with a private sound server (pulseaudio
    with a null sink, when installed) playing a chopped tone;
  - resident memory while idle;
  - RunFFT against FFTW's real transform (keyboard_audio_bench), as a ratio.

usage: bench/program/tavrik_costs.py [BUILD_DIR] [--seconds N] [--devices keyboard,mouse,headset]
  BUILD_DIR: a release build (default build-rel), made e.g. with
    cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_TESTS=OFF
    cmake --build build-rel --target Tavrik tavrik-devsim
  --devices: the emulated devices (the keyboard is needed for the stream
  figures, the headset for its report figures); without the headset the
  idle figures show what the program costs without a PC-run effect.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import wave

SECONDS = 10


def arg_value(name, default):
    if name in sys.argv:
        return sys.argv[sys.argv.index(name) + 1]
    return default


def proc_cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime


def proc_switches(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    # Only the thread's own waits: involuntary switches grow
                    # with the machine's load, not with what the program does.
                    if line.startswith("voluntary_ctxt_switches"):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass
    return total


def proc_rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS"):
                return int(line.split()[1]) / 1024
    return 0


def measure(pid, seconds, spans=None):
    cpu0, sw0, t0 = proc_cpu_seconds(pid), proc_switches(pid), time.monotonic()
    time.sleep(seconds)
    cpu1, sw1, t1 = proc_cpu_seconds(pid), proc_switches(pid), time.monotonic()
    if spans is not None:
        spans.append((t0, t1))
    wall = t1 - t0
    return 100 * (cpu1 - cpu0) / wall, (sw1 - sw0) / wall


def headset_led_rate(record_lines, span, origin):
    """LED reports/s the headset took within `span` (monotonic seconds), and
    the gaps between the starts of its frames (report 0x22 0xAA) in ms."""
    begin, end = (1000 * (t - origin) for t in span)
    reports, starts = 0, []
    for parts in record_lines:
        if parts[1] != "headset" or not begin <= parts[0] < end:
            continue
        data = bytes.fromhex("".join(parts[2:]))
        if len(data) < 3 or data[0] != 0xFF:
            continue
        reports += 1
        if data[1] == 0x22 and data[2] == 0xAA:
            starts.append(parts[0])
    gaps = [b - a for a, b in zip(starts, starts[1:])]
    return reports / ((end - begin) / 1000), gaps


def x(env, *args):
    return subprocess.run(list(args), env=env, capture_output=True, text=True).stdout


def find_window(env, title):
    # The main window's title exactly: other windows of the program (the tray
    # icon's, the floating ones) may carry the product name inside theirs.
    out = x(env, "xdotool", "search", "--name", "^" + title + "$")
    ids = [int(w) for w in out.split()]
    # The tray icon's window carries the same title; the main window is the
    # program's first window, so it has the lowest id.
    return min(ids) if ids else 0


def viewable(env, window):
    return "IsViewable" in x(env, "xwininfo", "-id", str(window))


def painted(env, window):
    # The probe lists the window's controls once it has laid them out and
    # painted; a mapped window without them was mapped blank.
    return "_TAVRIK_UI_PROBE" in x(env, "xprop", "-id", str(window), "_TAVRIK_UI_PROBE") and \
        "not found" not in x(env, "xprop", "-id", str(window), "_TAVRIK_UI_PROBE")


def probe_control(env, window, name):
    text = x(env, "xprop", "-id", str(window), "_TAVRIK_UI_PROBE")
    text = text.split("=", 1)[-1].encode().decode("unicode_escape") if "=" in text else ""
    for line in text.replace('"', "").split("\n"):
        fields = line.strip().split("\t")
        if len(fields) >= 5 and fields[0] == name:
            left, top, right, bottom = map(int, fields[1:5])
            return (left + right) // 2, (top + bottom) // 2
    return None


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))] if values else float("nan")


def start_sound_server(folder):
    """A private pulseaudio with one null sink; (process, address) or (None, None)."""
    if not (shutil.which("pulseaudio") and shutil.which("paplay") and shutil.which("pactl")):
        return None, None
    base = os.path.join(folder, "pulse")
    senv = dict(os.environ)
    for name, sub in (("HOME", "home"), ("PULSE_RUNTIME_PATH", "run"), ("PULSE_STATE_PATH", "state"),
                      ("XDG_CONFIG_HOME", "config"), ("XDG_RUNTIME_DIR", "run")):
        os.makedirs(os.path.join(base, sub), mode=0o700, exist_ok=True)
        senv[name] = os.path.join(base, sub)
    socket = os.path.join(base, "native")
    server = subprocess.Popen(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                               "--log-target=stderr", "--log-level=error", "--disable-shm=yes",
                               "-L", f"module-native-protocol-unix socket={socket} auth-anonymous=1",
                               "-L", "module-null-sink sink_name=tavrik_costs rate=48000 channels=2 format=s16le"],
                              env=senv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    ready_by = time.monotonic() + 20
    while not os.path.exists(socket) and server.poll() is None and time.monotonic() < ready_by:
        time.sleep(0.05)
    if not os.path.exists(socket):
        server.terminate()
        server.wait()
        return None, None
    return server, "unix:" + socket


def recording(address):
    out = subprocess.run(["pactl", "list", "short", "source-outputs"], env=dict(os.environ, PULSE_SERVER=address),
                         capture_output=True, text=True).stdout
    return bool(out.strip())


def write_chopped_tone(path, seconds):
    """A 440 Hz tone switched on and off every 60 ms: its spectrum keeps changing."""
    rate = 48000
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        frames = bytearray()
        for i in range(int(seconds * rate)):
            on = (i // (rate * 60 // 1000)) % 2 == 0
            v = int(12000 * math.sin(2 * math.pi * 440 * i / rate)) if on else 0
            frames += struct.pack("<hh", v, v)
        w.writeframes(bytes(frames))


def display_in_use(number):
    """Whether an X server holds the display: its socket or its lock file."""
    return os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock")


def free_display():
    """A display number no X server holds; None when all are taken."""
    start = 200 + os.getpid() % 500
    for offset in range(500):
        number = 200 + (start - 200 + offset) % 500
        if not display_in_use(number):
            return number
    return None


def main():
    if any(a in ("-h", "--help") for a in sys.argv[1:]):
        print(__doc__.strip())
        return 0
    build = next((a for a in sys.argv[1:] if not a.startswith("--") and
                  sys.argv[sys.argv.index(a) - 1] not in ("--seconds", "--devices")), "build-rel")
    seconds = float(arg_value("--seconds", SECONDS))
    devices = arg_value("--devices", "keyboard,mouse,headset").split(",")
    binary_dir = os.path.abspath(os.path.join(build, "bin"))
    missing = [name for name in ("Tavrik", "tavrik-devsim")
               if not os.access(os.path.join(binary_dir, name), os.X_OK)]
    if missing:
        print(f"tavrik_costs: no {' or '.join(missing)} in {binary_dir}: build a release first "
              f"(see --help)", file=sys.stderr)
        return 2
    for tool in ("Xvfb", "xdotool", "xwininfo", "xprop"):
        if not shutil.which(tool):
            print(f"tavrik_costs: {tool} is not installed", file=sys.stderr)
            return 2
    number = free_display()
    if number is None:
        print("tavrik_costs: no free X display number in :200-:699", file=sys.stderr)
        return 2
    folder = tempfile.mkdtemp(prefix="tavrik-costs-")
    os.chmod(folder, 0o700)
    env = dict(os.environ)
    for name, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                      ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run")):
        os.makedirs(os.path.join(folder, sub), mode=0o700)
        env[name] = os.path.join(folder, sub)
    display = f":{number}"
    env["DISPLAY"] = display
    procs = []
    try:
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(xvfb)
        # Ours once its socket is there and it still runs (another server that
        # took the number meanwhile makes ours end at once).
        ready_by = time.monotonic() + 10
        while not os.path.exists(f"/tmp/.X11-unix/X{number}") and xvfb.poll() is None \
                and time.monotonic() < ready_by:
            time.sleep(0.05)
        time.sleep(0.2)
        if xvfb.poll() is not None:
            print(f"tavrik_costs: Xvfb could not take display {display}", file=sys.stderr)
            return 2
        socket = os.path.join(folder, "devsim.sock")
        record = os.path.join(folder, "record.txt")
        devsim = subprocess.Popen([os.path.join(binary_dir, "tavrik-devsim"), "--socket", socket, "--record", record]
                                  + devices, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, text=True, env=env)
        procs.append(devsim)
        devsim_started = time.monotonic()  # the record's times count from about here
        spans = []
        while not os.path.exists(socket):
            time.sleep(0.05)
        sound_server, sound_address = start_sound_server(folder)
        if sound_server:
            procs.append(sound_server)
        # The headset answers on the emulator's ids, which the program's own table leaves open.
        tenv = dict(env, TAVRIK_HID_BACKEND="sim", TAVRIK_DEVSIM_SOCKET=socket, TAVRIK_UI_PROBE="1",
                    TAVRIK_HEADSET_IDS="3151:7010")
        if sound_address:
            tenv["PULSE_SERVER"] = sound_address
        log = open(os.path.join(folder, "tavrik.log"), "w")
        start = time.monotonic()
        tavrik = subprocess.Popen([os.path.join(binary_dir, "Tavrik")], cwd=binary_dir, env=tenv, stdout=log,
                                  stderr=log)
        procs.append(tavrik)
        window, mapped_at, mapped_blank = 0, None, False
        while time.monotonic() - start < 60:
            window = window or find_window(env, "Halvord  Q580-RGB-PRO")
            if window and viewable(env, window):
                mapped_at = mapped_at or time.monotonic()
                if painted(env, window):
                    break
                mapped_blank = True
            time.sleep(0.01)
        first_wall = time.monotonic() - start
        first_cpu = proc_cpu_seconds(tavrik.pid)
        blank = (time.monotonic() - mapped_at) if mapped_at else float("nan")

        time.sleep(8)  # the devices bind and settle
        shown_cpu, shown_wakes = measure(tavrik.pid, seconds, spans)
        rss = proc_rss_mb(tavrik.pid)

        close = probe_control(env, window, "closebtn")
        hidden_cpu = hidden_wakes = float("nan")
        if close:
            x(env, "xdotool", "mousemove", str(close[0]), str(close[1]), "click", "1")
            time.sleep(2)
            if not viewable(env, window):
                hidden_cpu, hidden_wakes = measure(tavrik.pid, seconds, spans)

        # Mode 21 on the keyboard: music mode, the live colour stream, with
        # the sound server (when there is one) playing a chopped tone.
        devsim.stdin.write("clear keyboard\nlight keyboard 21 4 2\n")
        devsim.stdin.flush()
        music_cpu = music_wakes = float("nan")
        heard = False
        if sound_address:
            listen_by = time.monotonic() + 20
            while not recording(sound_address) and time.monotonic() < listen_by:
                time.sleep(0.1)
            heard = recording(sound_address)
            tone = os.path.join(folder, "tone.wav")
            write_chopped_tone(tone, seconds + 8)
            procs.append(subprocess.Popen(["paplay", tone], env=dict(os.environ, PULSE_SERVER=sound_address),
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(3)
        devsim.stdin.write("clear keyboard\n")
        devsim.stdin.flush()
        music_cpu, music_wakes = measure(tavrik.pid, seconds)
        tavrik.terminate()
        tavrik.wait(timeout=20)
        devsim.stdin.write("quit\n")
        devsim.stdin.flush()
        devsim.wait(timeout=20)
        starts = []
        lines = []
        with open(record) as f:
            for line in f:
                parts = line.split()
                if len(parts) < 3:
                    continue
                lines.append([int(float(parts[0]))] + parts[1:])
                if parts[1] != "keyboard":
                    continue
                data = bytes.fromhex("".join(parts[2:]))
                # A live frame's first packet: command 0x12 at offset 0.
                if len(data) > 6 and data[3] == 0x12 and data[5] == 0 and data[6] == 0:
                    starts.append(int(float(parts[0])))
        gaps = [b - a for a, b in zip(starts, starts[1:])]
        span = (starts[-1] - starts[0]) / 1000 if len(starts) > 1 else 0
        fps = (len(starts) - 1) / span if span else 0

        bench = os.path.join(build, "bench", "keyboard_audio_bench")
        ratio = "n/a"
        if os.path.exists(bench):
            out = x(env, bench, "--benchmark_filter=RunFFTOverFftw", "--benchmark_min_time=1")
            ratio = " ".join(line for line in out.splitlines() if "BM_RunFFT" in line).strip() or out[-300:]

        print(f"load: {open('/proc/loadavg').read().strip()}; devices: {' '.join(devices)}")
        print(f"{'figure':44} {'measured':>22}   goal")
        print(f"{'CPU until the first painted window':44} {first_cpu:>20.2f} s   <= 0.4 s")
        print(f"{'wall time until then':44} {first_wall:>20.2f} s")
        print(f"{'mapped before painted (blank)':44} {('%.2f s' % blank) if mapped_blank else 'never':>22}   never")
        print(f"{'idle shown: CPU':44} {shown_cpu:>20.1f} %   <= 2 %")
        print(f"{'idle shown: wake-ups':44} {shown_wakes:>18.0f} /s")
        print(f"{'idle hidden: CPU':44} {hidden_cpu:>20.1f} %   <= {1 if 'headset' in devices else 0.5} %")
        print(f"{'idle hidden: wake-ups':44} {hidden_wakes:>18.0f} /s   <= 50 /s")
        for name, span in zip(("shown", "hidden"), spans if "headset" in devices else []):
            rate, led_gaps = headset_led_rate(lines, span, devsim_started)
            print(f"{'headset LED reports, ' + name:44} {rate:>18.0f} /s   <= 600 /s")
            # Times are the emulator's, when it read the reports: a frame read
            # late behind a busy socket shortens the gap after it.
            if led_gaps:
                print(f"{'headset frame gap p5 / p50 (as read), ' + name:44} {percentile(led_gaps, 5):>8} / "
                      f"{percentile(led_gaps, 50):>6} ms   20 ms")
        music = "music mode (sound server" + (", recording): CPU" if heard else ": none or not recording): CPU")
        print(f"{music:44} {music_cpu:>20.1f} %   <= 5 %")
        print(f"{'music mode: wake-ups':44} {music_wakes:>18.0f} /s")
        print(f"{'stream mode 21: frames':44} {fps:>18.1f} /s   50 /s")
        print(f"{'stream gap p50 / p99':44} {percentile(gaps, 50):>8} / {percentile(gaps, 99):>6} ms   p99 <= 25 ms")
        print(f"{'resident memory idle':44} {rss:>19.1f} MB   <= 60 MB")
        print(f"RunFFT vs FFTW real (goal ratio <= 2): {ratio}")
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
