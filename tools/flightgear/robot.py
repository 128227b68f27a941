#!/usr/bin/env python3
"""The robot pilot of the FlightGear check: flies the Cessna 172P through
FlightGear's property server (data mode, batched gets, sets) while the client
watches the same aircraft over its own connection. Every step is logged with
FlightGear's own figures; the wheels' first contact at the destination is
written to OUTDIR/touchdown.txt as FlightGear reported it, and FlightGear's
fuel and frame rates to OUTDIR/flight.txt.

  robot.py OUTDIR wait-ready PORT     waits until the flight model runs (at most 5 minutes)
  robot.py OUTDIR measure PORT        frame rate and property batches a second, 10 s
  robot.py OUTDIR fly-to-birk PORT    autostart, take-off, climb to 2000 ft, direct to a fix
                                      6 nm before BIRK runway 13, a 3 degree approach, landing,
                                      roll-out, taxi, stop, parking brake, engine off
  robot.py OUTDIR back-to-start PORT  FlightGear's own reposition to its start; prints the position
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
        # Each set is a small write of its own: without this the get behind it
        # waits for the acknowledgement, 40 ms and more.
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
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
         "/orientation/heading-deg", "/sim/frame-rate", "/sim/time/elapsed-sec", "/position/altitude-ft",
         "/velocities/groundspeed-kt", "/gear/gear[0]/compression-norm", "/gear/gear[1]/compression-norm",
         "/gear/gear[2]/compression-norm"]

# BIRK runway 13 (FlightGear's apt.dat): threshold, the other end, and the
# elevation of its scenery there (apt.dat says 47 ft; the ground under the
# threshold reads about 15 ft, 26 ft at the far end).
BIRK_13 = (64.13252141, -21.95536147)
BIRK_31 = (64.12763797, -21.93270629)
BIRK_ELEVATION_FT = 18.0
GLIDE_DEG = 3.0
AIM_NM = 0.08        # touchdown aim point past the threshold
FIX_NM = 6.0         # where the final approach starts
CRUISE_FT = 2000.0


def local(origin, point):
    """North and east of origin in nm (flat earth, a few tens of miles)."""
    north = (point[0] - origin[0]) * 60.0
    east = (point[1] - origin[1]) * 60.0 * math.cos(math.radians(origin[0]))
    return north, east


def bearing(origin, point):
    north, east = local(origin, point)
    return math.degrees(math.atan2(east, north)) % 360.0


def along_line(start, end, at):
    """Along-track nm from start toward end and cross-track nm (right positive) of `at`."""
    n1, e1 = local(start, end)
    n, e = local(start, at)
    length = math.hypot(n1, e1)
    un, ue = n1 / length, e1 / length
    return n * un + e * ue, e * un - n * ue


def offset(origin, course_deg, nm):
    lat = origin[0] + nm * math.cos(math.radians(course_deg)) / 60.0
    lon = origin[1] + nm * math.sin(math.radians(course_deg)) / (60.0 * math.cos(math.radians(origin[0])))
    return lat, lon


def wrap(angle):
    return (angle + 540.0) % 360.0 - 180.0


def clamp(v, low, high):
    return max(low, min(high, v))


class Robot:
    def __init__(self, out, port):
        self.p = Props(port=port)
        self.log = open(f"{out}/robot.log", "a", buffering=1)
        self.out = out
        self.gets = 0
        self.started = time.time()
        self.pitch_integral = 0.0
        self.throttle_integral = 0.0
        self.last = time.time()
        self.rates = []

    def state(self):
        self.gets += 1
        v = dict(zip(STATE, self.p.get(*STATE)))
        v["ground"] = bool(v["/gear/gear[0]/wow"] or v["/gear/gear[1]/wow"] or v["/gear/gear[2]/wow"])
        v["contact"] = v["ground"] or any((v[f"/gear/gear[{i}]/compression-norm"] or 0) > 0 for i in range(3))
        v["at"] = (v["/position/latitude-deg"], v["/position/longitude-deg"])
        self.rates.append(v["/sim/frame-rate"] or 0)
        return v

    def batches_per_second(self):
        return self.gets / max(time.time() - self.started, 1e-3)

    def note(self, what, v):
        self.log.write(f"{time.strftime('%H:%M:%S')} {what}: agl {v['/position/altitude-agl-ft']:.0f} ft, "
                       f"alt {v['/position/altitude-ft']:.0f} ft, ias {v['/velocities/airspeed-kt']:.0f} kt, "
                       f"vs {v['/velocities/vertical-speed-fps'] * 60:.0f} ft/min, hdg {v['/orientation/heading-deg']:.0f}, "
                       f"fps {v['/sim/frame-rate']:.0f}, batches/s {self.batches_per_second():.1f}\n")

    # --- control loops ---

    def pitch_to(self, v, pitch):
        """Elevator toward a pitch: proportional with an integral for the trim."""
        now = time.time()
        dt = clamp(now - self.last, 0.0, 0.2)
        self.last = now
        pe = pitch - v["/orientation/pitch-deg"]
        self.pitch_integral = clamp(self.pitch_integral + 0.02 * pe * dt, -0.3, 0.3)
        self.p.set("/controls/flight/elevator", f"{clamp(-0.05 * pe - self.pitch_integral, -0.7, 0.7):.3f}")

    def roll_to(self, v, roll):
        re = roll - v["/orientation/roll-deg"]
        self.p.set("/controls/flight/aileron", f"{clamp(0.03 * re, -0.5, 0.5):.3f}")

    def heading_to(self, v, heading, bank=25.0):
        self.roll_to(v, clamp(1.5 * wrap(heading - v["/orientation/heading-deg"]), -bank, bank))

    def climb_rate_to(self, v, fpm, trim_pitch):
        """Pitch toward a vertical speed."""
        error = fpm - v["/velocities/vertical-speed-fps"] * 60.0
        self.pitch_to(v, clamp(trim_pitch + 0.008 * error, -8.0, 12.0))

    def speed_to(self, v, kt, base):
        """Throttle toward an airspeed."""
        error = kt - v["/velocities/airspeed-kt"]
        self.throttle_integral = clamp(self.throttle_integral + 0.0005 * error, -0.4, 0.4)
        self.p.set("/controls/engines/current-engine/throttle",
                   f"{clamp(base + 0.04 * error + self.throttle_integral, 0.0, 1.0):.3f}")

    def steer(self, v, heading):
        he = wrap(heading - v["/orientation/heading-deg"])
        self.p.set("/controls/flight/rudder", f"{clamp(0.08 * he, -1, 1):.3f}")

    def brakes(self, value):
        self.p.set("/controls/gear/brake-left", value)
        self.p.set("/controls/gear/brake-right", value)

    def fuel(self):
        return self.p.get("/consumables/fuel/total-fuel-lbs")[0] or 0.0

    # --- manoeuvres ---

    def start_engine(self):
        """The Cessna's own autostart (its Nasal function, run through the property server)."""
        self.p.run("nasal script=c172p.autostart()")
        time.sleep(7)
        running, rpm = self.p.get("/engines/active-engine/running", "/engines/active-engine/rpm")
        self.note(f"engine running {running}, {rpm or 0:.0f} rpm", self.state())
        if not running or (rpm or 0) < 500:
            sys.exit("the engine did not start")

    def watch_touchdown(self):
        """Listeners inside FlightGear on each wheel's weight-on-wheels keep
        the vertical speed of the frame in which the first one touches (the
        property server's `run` takes no blanks and no second '=')."""
        self.p.run('nasal script=setprop("/qvl/touchdown-done",0);')
        for i in range(3):
            self.p.run('nasal script=setlistener("/gear/gear[%d]/wow",func(n){if(n.getBoolValue()){'
                       'if(!getprop("/qvl/touchdown-done")){setprop("/qvl/touchdown-done",1);'
                       'setprop("/qvl/touchdown-fps",getprop("/velocities/vertical-speed-fps"));'
                       'setprop("/qvl/touchdown-sec",getprop("/sim/time/elapsed-sec"));}}});' % i)

    def release_and_roll(self):
        p = self.p
        for path, value in [("/sim/model/c172p/brake-parking", 0), ("/controls/gear/brake-parking", 0),
                            ("/controls/flight/flaps", 0.0),
                            ("/controls/engines/current-engine/throttle", 1.0)]:
            p.set(path, value)
        self.brakes(0)
        v = self.state()
        self.note("take-off roll on heading %.0f" % v["/orientation/heading-deg"], v)
        return v["/orientation/heading-deg"]

    def take_off(self, heading, until):
        """The roll on the runway heading, rotation at 55 kt; returns at lift-off."""
        while time.time() < until:
            v = self.state()
            if not v["ground"] and v["/position/altitude-agl-ft"] > 10:
                self.note("lift-off", v)
                return v
            self.pitch_to(v, 8.0 if v["/velocities/airspeed-kt"] > 55 else 0.0)
            self.roll_to(v, 0.0)
            self.steer(v, heading)

            time.sleep(0.05)
        sys.exit("no lift-off")

    def fly_to_birk(self, seconds=2400):
        until = time.time() + seconds
        fuel_start = self.fuel()
        self.start_engine()
        runway = self.release_and_roll()
        self.take_off(runway, until)
        self.watch_touchdown()
        fuel_takeoff = self.fuel()
        self.p.set("/controls/flight/rudder", 0)
        return self.navigate("climb-out", runway, fuel_start, fuel_takeoff, until)

    def navigate(self, leg, runway, fuel_start, fuel_takeoff, until):
        course = bearing(BIRK_31, BIRK_13)  # final course is the reverse: 13 points away from 31
        final_course = bearing(BIRK_13, BIRK_31)
        fix = offset(BIRK_13, course, FIX_NM)
        aim = offset(BIRK_13, final_course, AIM_NM)
        fps_from = len(self.rates)
        flaps = 0.0
        noted = time.time()
        while time.time() < until:
            v = self.state()
            if time.time() - noted > 60:
                noted = time.time()
                self.note("%s, %.1f nm to BIRK 13" % (leg, math.hypot(*local(v["at"], BIRK_13))), v)
            agl = v["/position/altitude-agl-ft"]
            alt = v["/position/altitude-ft"]
            if leg == "climb-out":
                self.heading_to(v, runway if agl < 400 else bearing(v["at"], fix))
                self.pitch_to(v, 7.0)
                if alt > CRUISE_FT - 100:
                    leg = "cruise"
                    self.note("level at %.0f ft, direct to the fix %.0f nm before BIRK 13" % (CRUISE_FT, FIX_NM), v)
            elif leg == "cruise":
                self.heading_to(v, bearing(v["at"], fix))
                self.climb_rate_to(v, clamp(3.0 * (CRUISE_FT - alt), -500, 500), 2.0)
                self.speed_to(v, 100.0, 0.75)
                to_fix = math.hypot(*local(v["at"], fix))
                if to_fix < 1.0:
                    leg = "final"
                    self.throttle_integral = 0.0
                    self.note("final approach BIRK 13, %.1f nm out" % (FIX_NM + to_fix), v)
            elif leg == "final":
                along, cross = along_line(fix, BIRK_13, v["at"])
                to_aim = math.hypot(*local(v["at"], aim))
                self.heading_to(v, final_course - clamp(150.0 * cross, -30.0, 30.0), bank=20.0)
                path_ft = BIRK_ELEVATION_FT + to_aim * 6076.0 * math.tan(math.radians(GLIDE_DEG))
                target = min(CRUISE_FT, path_ft)
                sink = v["/velocities/groundspeed-kt"] * 101.3 * math.tan(math.radians(GLIDE_DEG))
                wanted = -sink if path_ft < CRUISE_FT else 0.0
                self.climb_rate_to(v, clamp(wanted + 3.0 * (target - alt), -900, 300), 0.0)
                want_flaps = 0.333 if to_aim < 5.0 else 0.0
                if to_aim < 3.0:
                    want_flaps = 0.666
                if want_flaps != flaps:
                    flaps = want_flaps
                    self.p.set("/controls/flight/flaps", flaps)
                    self.note("flaps %.0f degrees, %.1f nm to go" % (flaps * 30, to_aim), v)
                self.speed_to(v, 75.0 if to_aim > 1.5 else 65.0, 0.4)
                if agl < 30 and to_aim < 1.0:
                    leg = "flare"
                    self.note("flare", v)
                    self.p.set("/controls/engines/current-engine/throttle", 0.0)
            elif leg == "flare":
                return self.land(v, final_course, fuel_start, fuel_takeoff, fps_from, until)
            time.sleep(0.05 if agl > 300 else 0.0)
        self.note("time up", v)
        sys.exit("the robot did not land in time")

    def land(self, v, course, fuel_start, fuel_takeoff, fps_from, until):
        """Flare at full reading speed, the first contact as FlightGear reports it, roll-out, taxi, stop."""
        previous = v
        while not v["contact"]:
            agl = v["/position/altitude-agl-ft"]
            self.heading_to(v, course, bank=5.0)
            self.climb_rate_to(v, -(70.0 + 5.0 * max(0.0, agl - 4.0)), 3.0)
            previous = v
            v = self.state()
            if time.time() > until:
                sys.exit("no touchdown")
        read = v["/velocities/vertical-speed-fps"] * 60.0
        before = previous["/velocities/vertical-speed-fps"] * 60.0
        elapsed = v["/sim/time/elapsed-sec"] - previous["/sim/time/elapsed-sec"]
        done, frame_fps, frame_sec = self.p.get("/qvl/touchdown-done", "/qvl/touchdown-fps", "/qvl/touchdown-sec")
        if not done or frame_fps is None:
            sys.exit("FlightGear's touchdown listener did not fire")
        fpm = frame_fps * 60.0
        with open(f"{self.out}/touchdown.txt", "w") as f:
            f.write(f"{fpm:.0f}\n")
        self.note(f"touchdown: FlightGear's vertical speed {fpm:.0f} ft/min in the frame of the first contact "
                  f"(at {frame_sec:.3f} s of simulator time); the robot's reads: {before:.0f} ft/min at "
                  f"{previous['/sim/time/elapsed-sec']:.3f} s in the air, {read:.0f} ft/min at "
                  f"{v['/sim/time/elapsed-sec']:.3f} s in contact ({elapsed * 1000:.0f} ms apart)", v)
        fuel_landing = self.fuel()
        # Roll-out: nose down gently, brakes once the nose wheel carries.
        rolled = time.time()
        while True:
            v = self.state()
            self.roll_to(v, 0.0)
            self.steer(v, course)
            if time.time() - rolled < 3:
                self.pitch_to(v, 2.0)
            else:
                self.p.set("/controls/flight/elevator", 0)
                self.brakes(0.6)
            if v["/velocities/groundspeed-kt"] < 10:
                break
            time.sleep(0.05)
        self.brakes(0)
        self.p.set("/controls/flight/flaps", 0)
        self.note("rolled out, taxiing", v)
        taxi = time.time()
        while time.time() - taxi < 15:
            v = self.state()
            self.steer(v, course)
            gs = v["/velocities/groundspeed-kt"]
            self.p.set("/controls/engines/current-engine/throttle", f"{clamp(0.2 + 0.03 * (8 - gs), 0.0, 0.4):.3f}")
            time.sleep(0.1)
        self.p.set("/controls/engines/current-engine/throttle", 0)
        self.brakes(1)
        while self.state()["/velocities/groundspeed-kt"] > 0.5:
            time.sleep(0.2)
        self.p.set("/controls/gear/brake-parking", 1)
        self.p.set("/sim/model/c172p/brake-parking", 1)
        self.brakes(0)
        time.sleep(2)
        v = self.state()
        self.note("stopped, parking brake set", v)
        fuel_end = self.fuel()
        self.p.set("/controls/engines/current-engine/mixture", 0)
        rates = self.rates[fps_from:]
        line = (f"fuel lb: start {fuel_start:.1f}, take-off {fuel_takeoff:.1f}, landing {fuel_landing:.1f}, "
                f"stop {fuel_end:.1f}; frame rate in flight min {min(rates):.0f}, "
                f"mean {sum(rates) / len(rates):.0f}, max {max(rates):.0f}; "
                f"batches/s {self.batches_per_second():.1f}")
        self.note("engine off", v)
        self.log.write(line + "\n")
        with open(f"{self.out}/flight.txt", "w") as f:
            f.write(f"fuel_start_lb {fuel_start:.2f}\nfuel_takeoff_lb {fuel_takeoff:.2f}\n"
                    f"fuel_landing_lb {fuel_landing:.2f}\nfuel_stop_lb {fuel_end:.2f}\n")
        print(line)
        return v

    def takeoff_climb(self, climb_to=1500.0, seconds=600):
        p = self.p
        self.start_engine()
        heading = self.release_and_roll()
        until = time.time() + seconds
        v = self.take_off(heading, until)
        paused = slewed = 0.0
        while time.time() < until:
            v = self.state()
            climbing = v["/position/altitude-agl-ft"] < climb_to
            self.heading_to(v, heading, bank=20.0)
            self.pitch_to(v, 7.0 if climbing else 1.0)
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
                self.last = time.time()
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

    def measure(self, seconds=4.0):
        """FlightGear's frame rate and the property server's batches a second,
        for one get, the robot's batch and a batch of the client's size."""
        rates, lines = [], []
        for size in (1, len(STATE), 45):
            paths = (["/sim/frame-rate"] + STATE * 3)[:size]
            start, n = time.time(), 0
            while time.time() - start < seconds:
                rates.append(self.p.get(*paths)[0])
                n += 1
            lines.append(f"{n / (time.time() - start):.1f} of {size}")
        line = (f"measured: batches a second {', '.join(lines)} gets; frame rate "
                f"min {min(rates):.0f}, mean {sum(rates) / len(rates):.0f}, max {max(rates):.0f}")
        print(line)
        self.log.write(line + "\n")

    def slew(self, nm=30.0):
        v = self.state()
        lat = v["/position/latitude-deg"] + nm / 60.0
        self.note("before the slew", v)
        self.p.set("/position/latitude-deg", f"{lat:.6f}")
        self.note("moved %.0f nm north" % nm, self.state())


def back_to_start(robot):
    """FlightGear's own reposition to where it started (the runway at BIKF),
    with a fresh flight model: the engine off, the brakes as at the start."""
    robot.p.run("reposition")
    time.sleep(5)
    wait_ready(robot.p)
    # The c172p holds its parking brake while it "repairs" after a reset, and
    # its timer that ends the repair does not run again after a reposition.
    robot.p.set("/fdm/jsbsim/damage/repairing", 0)
    v = robot.state()
    robot.note("back at the start, %.6f %.6f" % v["at"], v)
    print("%.6f %.6f" % v["at"])


def wait_ready(props_or_port):
    until = time.time() + 300
    while time.time() < until:
        try:
            p = props_or_port if isinstance(props_or_port, Props) else Props(port=props_or_port)
            ready, rate, scenery, agl = p.get("/sim/signals/fdm-initialized", "/sim/frame-rate",
                                              "/sim/sceneryloaded", "/position/altitude-agl-ft")
            if ready and rate and scenery and agl is not None and agl < 10:
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
    elif what == "fly-to-birk":
        robot.fly_to_birk()
    elif what == "back-to-start":
        back_to_start(robot)
    elif what == "takeoff-climb":
        robot.takeoff_climb()
    else:
        sys.exit("unknown manoeuvre " + what)


if __name__ == "__main__":
    main()
