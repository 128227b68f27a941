#!/usr/bin/env python3
"""The robot pilot of the FlightGear check: flies the Cessna 172P through
FlightGear's property server (data mode, batched gets, sets) while the client
watches the same aircraft over its own connection. Every step is logged with
FlightGear's own figures; the wheels' first contact after take-off is written
to OUTDIR/touchdown.txt as FlightGear reported it.

  robot.py OUTDIR wait-ready PORT     waits until the flight model runs (at most 5 minutes)
  robot.py OUTDIR measure PORT        frame rate and property batches a second, 10 s
  robot.py OUTDIR takeoff-climb PORT  autostart, take-off, climb to 1500 ft, pause 20 s, fly level,
                                      then move the aircraft 30 nm north through the position
                                      properties and fly on level
"""
import math
import socket
import sys
import time


class Props:
    def __init__(self, host="127.0.0.1", port=5401):
        self.sock = socket.create_connection((host, port), timeout=30)
        self.file = self.sock.makefile("rb")
        self.sock.sendall(b"data\r\n")

    def get(self, *paths):
        self.sock.sendall(b"".join(b"get " + p.encode() + b"\r\n" for p in paths))
        answers = [self.file.readline().decode().rstrip("\r\n") for _ in paths]
        return [float(a) if a not in ("", "true", "false") else (a == "true" if a else None) for a in answers]

    def set(self, path, value):
        self.sock.sendall(f"set {path} {value}\r\n".encode())

    def run(self, command):
        """An fgcommand. Whether it answers a line in data mode or not, a get
        of the aircraft's name behind it marks where its answer ends."""
        self.sock.sendall(f"run {command}\r\nget /sim/aircraft\r\n".encode())
        while self.file.readline().decode().rstrip("\r\n") != "c172p":
            pass


STATE = ["/position/latitude-deg", "/position/longitude-deg", "/position/altitude-agl-ft",
         "/velocities/airspeed-kt", "/velocities/vertical-speed-fps", "/orientation/pitch-deg",
         "/orientation/roll-deg", "/gear/gear[0]/wow", "/gear/gear[1]/wow", "/gear/gear[2]/wow",
         "/orientation/heading-deg", "/sim/frame-rate", "/sim/time/elapsed-sec"]


class Robot:
    def __init__(self, out, port):
        self.p = Props(port=port)
        self.log = open(f"{out}/robot.log", "a", buffering=1)
        self.out = out
        self.gets = 0
        self.started = time.time()

    def state(self):
        self.gets += 1
        v = dict(zip(STATE, self.p.get(*STATE)))
        v["ground"] = bool(v["/gear/gear[0]/wow"] or v["/gear/gear[1]/wow"] or v["/gear/gear[2]/wow"])
        return v

    def note(self, what, v):
        rate = self.gets / max(time.time() - self.started, 1e-3)
        self.log.write(f"{time.strftime('%H:%M:%S')} {what}: agl {v['/position/altitude-agl-ft']:.0f} ft, "
                       f"ias {v['/velocities/airspeed-kt']:.0f} kt, vs {v['/velocities/vertical-speed-fps'] * 60:.0f} "
                       f"ft/min, fps {v['/sim/frame-rate']:.0f}, batches/s {rate:.1f}\n")

    def hold(self, v, pitch, heading, roll_limit=20.0):
        """Elevator and ailerons toward a pitch and a heading, proportional."""
        pe = pitch - v["/orientation/pitch-deg"]
        self.p.set("/controls/flight/elevator", f"{max(-0.6, min(0.6, -0.05 * pe)):.3f}")
        he = (heading - v["/orientation/heading-deg"] + 540) % 360 - 180
        roll = max(-roll_limit, min(roll_limit, 1.5 * he))
        re = roll - v["/orientation/roll-deg"]
        self.p.set("/controls/flight/aileron", f"{max(-0.5, min(0.5, 0.03 * re)):.3f}")

    def start_engine(self):
        """The Cessna's own autostart (its Nasal function, run through the property server)."""
        self.p.run("nasal script=c172p.autostart()")
        time.sleep(7)
        running, rpm = self.p.get("/engines/active-engine/running", "/engines/active-engine/rpm")
        self.note(f"engine running {running}, {rpm or 0:.0f} rpm", self.state())
        if not running or (rpm or 0) < 500:
            sys.exit("the engine did not start")

    def takeoff_climb(self, climb_to=1500.0, seconds=600):
        p = self.p
        self.start_engine()
        for path, value in [("/sim/model/c172p/brake-parking", 0), ("/controls/gear/brake-parking", 0),
                            ("/controls/flight/flaps", 0.0),
                            ("/controls/engines/current-engine/throttle", 1.0)]:
            p.set(path, value)
        v = self.state()
        heading = v["/orientation/heading-deg"]
        self.note("take-off roll on heading %.0f" % heading, v)
        until = time.time() + seconds
        airborne = False
        paused = slewed = 0.0
        while time.time() < until:
            v = self.state()
            if v["ground"] and not airborne:
                pitch = 8.0 if v["/velocities/airspeed-kt"] > 55 else 0.0
                self.hold(v, pitch, heading, roll_limit=0.0)
                p.set("/controls/flight/rudder", f"{max(-1, min(1, 0.05 * ((heading - v['/orientation/heading-deg'] + 540) % 360 - 180))):.3f}")
            else:
                if not airborne:
                    airborne = True
                    self.note("lift-off", v)
                climbing = v["/position/altitude-agl-ft"] < climb_to
                self.hold(v, 7.0 if climbing else 1.0, heading)
                if not climbing and not paused:
                    self.note("level at %.0f ft" % climb_to, v)
                    p.set("/controls/engines/current-engine/throttle", 0.7)
                    p.set("/sim/freeze/master", "true")
                    p.set("/sim/freeze/clock", "true")
                    self.note("paused", v)
                    time.sleep(20)
                    p.set("/sim/freeze/master", "false")
                    p.set("/sim/freeze/clock", "false")
                    paused = time.time()
                    self.note("unpaused", self.state())
                if paused and not slewed and time.time() - paused > 15:
                    self.slew()
                    slewed = time.time()
                if slewed and time.time() - slewed > 15:
                    self.note("done", v)
                    return v
            time.sleep(0.05)
        self.note("time up", v)
        return v

    def measure(self, seconds=10.0):
        """Batches of the client's size (about 45 gets) a second, and FlightGear's frame rate."""
        paths = STATE * 4
        start, n, rates = time.time(), 0, []
        while time.time() - start < seconds:
            answers = self.p.get(*paths)
            rates.append(answers[STATE.index("/sim/frame-rate")])
            n += 1
        per_second = n / (time.time() - start)
        line = (f"measured: {per_second:.1f} batches of {len(paths)} gets a second; frame rate "
                f"min {min(rates):.0f}, mean {sum(rates) / len(rates):.0f}, max {max(rates):.0f}")
        print(line)
        self.log.write(line + "\n")

    def slew(self, nm=30.0):
        v = self.state()
        lat = v["/position/latitude-deg"] + nm / 60.0
        self.note("before the slew", v)
        self.p.set("/position/latitude-deg", f"{lat:.6f}")
        self.note("moved %.0f nm north" % nm, self.state())


def wait_ready(port):
    until = time.time() + 300
    while time.time() < until:
        try:
            p = Props(port=port)
            ready, rate = p.get("/sim/signals/fdm-initialized", "/sim/frame-rate")
            if ready and rate:
                return
        except OSError:
            pass
        time.sleep(2)
    sys.exit("FlightGear's flight model never ran")


def main():
    out, what, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if what == "wait-ready":
        wait_ready(port)
        return
    robot = Robot(out, port)
    if what == "measure":
        robot.measure()
    elif what == "takeoff-climb":
        robot.takeoff_climb()
    else:
        sys.exit("unknown manoeuvre " + what)


if __name__ == "__main__":
    main()
