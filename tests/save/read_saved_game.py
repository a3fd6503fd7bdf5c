#!/usr/bin/env python3
"""A saved game read from its layout table alone, every byte of it, printed as JSON.

Exit status 1 when the file is shorter than its layout or has bytes left over."""
import json
import struct
import sys


class Reader:
    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, n):
        if self.at + n > len(self.data):
            raise ValueError("file ends at %d, wanted %d more bytes" % (len(self.data), n))
        b = self.data[self.at:self.at + n]
        self.at += n
        return b

    def fmt(self, f):
        return struct.unpack("<" + f, self.take(struct.calcsize("<" + f)))

    def one(self, f):
        return self.fmt(f)[0]

    def text(self, n):
        return self.take(n).split(b"\0", 1)[0].decode("latin-1")

    def zeros(self, n):
        if any(self.take(n)):
            raise ValueError("filler at %d is not zero" % (self.at - n))

    def vec(self, count=1):
        v = [list(self.fmt("3f")) for _ in range(count)]
        return v if count > 1 else v[0]

    def left(self):
        return len(self.data) - self.at


def options(r):
    o = {}
    o["raceLength"] = r.one("H")
    o["points"] = list(r.fmt("7B"))
    for name in ("tyreWear", "fuelConsumption", "damage", "fuelMass", "distanceUnit", "startingOrder",
                 "resolution", "verticalSync", "stepRate", "shadows", "ghostCar", "goofyReverse", "windowedMode"):
        o[name] = r.one("B")
    o["effects"] = r.one("H")
    for name in ("engineVolume", "skidVolume", "effectsVolume"):
        o[name] = r.one("B")
    o["language"] = r.text(22)
    r.zeros(1)
    o["soundSet"] = r.text(22)
    r.zeros(2)
    return o


def profile(r):
    v = r.fmt("23I")
    return {"seasons": v[0], "championshipFinishes": list(v[1:7]), "totalPoints": v[7], "races": v[8],
            "raceFinishes": list(v[9:15]), "fastestLaps": v[15], "carType": v[16], "colour1": v[17],
            "colour2": v[18], "controls": list(v[19:23])}


def car_model(r):
    m = {"name": r.text(12)}
    r.zeros(4)
    m["ellipsoid"] = r.vec()
    m["wheelRadius"] = list(r.fmt("4f"))
    m["grip"] = list(r.fmt("14f"))
    m["contact"] = list(r.fmt("14f"))
    for name in ("airDrag", "downforce", "enginePower", "topSpeed", "slipStiffness", "mass", "cornering", "lookAhead"):
        m[name] = r.one("f")
    for name in ("vertexCount", "collisionPointCount", "triangleIndexCount", "collisionIndexCount", "noHead"):
        m[name] = r.one("B")
    m["triangles"] = list(r.take(120))
    m["triangleColours"] = list(r.take(40))
    m["collisionTriangles"] = list(r.take(30))
    r.zeros(1)
    m["vertices"] = r.vec(30)
    m["normals"] = r.vec(30)
    m["collisionPoints"] = r.vec(15)
    m["wheelPositions"] = r.vec(4)
    m["head"] = r.vec()
    return m


def car_state(r):
    c = {}
    for name in ("position", "revvingCounter", "serviceState", "engineCountdown"):
        c[name] = r.one("B")
    c["wheelDirt"] = list(r.fmt("4B"))
    c["splashCounter"] = r.one("B")
    r.zeros(3)
    c["upsideDownCounter"], c["lastCrossing"], c["lastLap"] = r.fmt("3i")
    c["controls"] = list(r.fmt("4I"))
    for name in ("position3", "velocity", "angularVelocity", "right", "up", "forward"):
        c[name] = r.vec()
    c["wheelSpeed"] = r.one("f")
    c["wheelLoads"] = list(r.fmt("4f"))
    c["bodyLoad"] = r.one("f")
    c["handling"] = list(r.fmt("3f"))
    c["massFactor"], c["mass"], c["engineLoad"], c["speedFactor"] = r.fmt("4f")
    for name in ("laps", "nextCheckpoint", "bestLap", "tyres", "fuel", "damage"):
        c[name] = r.one("H")
    c["wheelContactKind"] = list(r.fmt("4B"))
    c["points"] = r.vec(14)
    return c


def ghost(r):
    n = r.one("H")
    samples = []
    for _ in range((n + 1) // 2):
        p = r.fmt("3H")
        axes = r.fmt("6b")
        samples.append({"position": list(p), "right": list(axes[:3]), "forward": list(axes[3:])})
    return {"steps": n, "stored": samples}


def replay(r, cars):
    version, tag = r.fmt("2H")
    if tag != 0x5052:
        raise ValueError("replay tag %04x" % tag)
    block = {"version": version}
    block["frameStep"] = r.one("I") if version > 0x0103 else 0
    count = r.one("I")
    block["frameCount"] = count
    block["cars"] = []
    for car in range(cars):
        if r.left() == 0:
            break
        t = r.take(4)
        if t != b"PLR" + bytes([ord("1") + car]):
            raise ValueError("car tag %r" % t)
        frames = []
        for _ in range(count):
            v = r.fmt("3H3b3b4BBB")
            frames.append({"position": list(v[0:3]), "right": list(v[3:6]), "forward": list(v[6:9]),
                           "wheels": list(v[9:13]), "speed": v[13], "flag": v[14]})
        block["cars"].append(frames)
    return block


def read(data):
    r = Reader(data)
    g = {"version": r.one("H"), "phase": r.one("B"), "phaseCounter": r.one("B")}
    g["options"] = options(r)
    n = r.one("I")
    g["carCount"] = n
    g["names"] = [r.text(13) for _ in range(n)]
    g["profiles"] = [profile(r) for _ in range(n)]
    g["carModels"] = [car_model(r) for _ in range(n)]
    races = r.one("I")
    g["raceCount"] = races
    g["seasonRace"] = r.one("I")
    g["tracks"] = []
    for _ in range(races):
        if g["version"] >= 0x0103:
            g["tracks"].append({"name": r.text(40), "checksum": list(r.fmt("4I"))})
        else:
            g["tracks"].append({"name": r.text(56), "checksum": [0, 0, 0, 0]})
    g["cars"] = [car_state(r) for _ in range(n)]
    g["runningOrder"] = list(r.fmt("%di" % n))
    g["championshipPoints"] = list(r.fmt("%di" % n))
    for name in ("raceLaps", "leaderLaps", "raceClock", "fastestLapTime", "fastestLapCar", "recordCar"):
        g[name] = r.one("i")
    if n == 1:
        g["ghost"] = ghost(r)
    if r.left() > 0:
        g["replay"] = replay(r, n)
    if r.left() != 0:
        raise ValueError("%d bytes left over" % r.left())
    g["bytesRead"] = r.at
    return g


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        g = read(data)
    except (ValueError, struct.error) as e:
        print("read_saved_game: %s" % e, file=sys.stderr)
        return 1
    json.dump(g, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
