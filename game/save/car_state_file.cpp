#include "save/car_state_file.h"

#include <cmath>
#include <cstddef>
#include <type_traits>

// Every field in file order with its gaps, so reading and writing can never disagree.
template <typename Car, typename Bytes, typename Word, typename Half, typename Real, typename Gap>
static bool eachField(Car& c, Bytes bytes, Word word, Half half, Real real, Gap gap)
{
    bool ok = bytes(&c.position, 4) && bytes(c.wheelDirt, 4) && bytes(&c.splashCounter, 1) && gap(3);
    ok = ok && word(c.upsideDownCounter) && word(c.lastCrossing) && word(c.lastLap);
    for (auto& k : c.controls) ok = ok && word(k);
    auto vec = [&](auto& v) { return real(v.x) && real(v.y) && real(v.z); };
    ok = ok && vec(c.positionVector) && vec(c.velocity) && vec(c.angularVelocity);
    ok = ok && vec(c.rightAxis) && vec(c.upAxis) && vec(c.forwardAxis);
    ok = ok && real(c.wheelSpeed);
    for (auto& l : c.wheelLoads) ok = ok && real(l);
    ok = ok && real(c.bodyLoad) && real(c.loadShare) && real(c.slip[0]) && real(c.slip[1]);
    ok = ok && real(c.massFactor) && real(c.mass) && real(c.engineLoad) && real(c.speedFactor);
    ok = ok && half(c.laps) && half(c.nextCheckpoint) && half(c.bestLap) && half(c.tyres) && half(c.fuel) && half(c.damage);
    ok = ok && bytes(c.wheelContactKind, 4);
    for (auto& p : c.wheelPoints) ok = ok && vec(p);
    for (auto& p : c.bodyPoints) ok = ok && vec(p);
    return ok;
}

// The four leading u8 fields lie next to each other in the record.
static_assert(offsetof(CarState, revvingCounter) == 1 && offsetof(CarState, engineCountdown) == 3, "u8 run");

bool readCarState(TrackFile& f, CarState& car)
{
    CarState c = car;
    bool ok = eachField(
        c, [&](uint8_t* b, size_t n) { return f.readBytes(b, n); },
        [&](auto& v) {
            uint32_t u = 0;
            if (!f.readU32(u)) return false;
            v = static_cast<std::remove_reference_t<decltype(v)>>(u);
            return true;
        },
        [&](uint16_t& v) { return f.readU16(v); }, [&](float& v) { return f.readF32(v); },
        [&](long n) { return f.skip(n); });
    if (ok) car = c;
    return ok;
}

bool writeCarState(TrackFile& f, const CarState& car)
{
    CarState c = car;
    return eachField(
        c, [&](uint8_t* b, size_t n) { return f.writeBytes(b, n); },
        [&](auto& v) { return f.writeU32(static_cast<uint32_t>(v)); }, [&](uint16_t& v) { return f.writeU16(v); },
        [&](float& v) { return f.writeF32(v); }, [&](long n) { return f.writeZeros(size_t(n)); });
}

bool carStateInRange(const CarState& car)
{
    // Far beyond any terrain (at most a few km) yet far from float overflow in the physics.
    constexpr float reach = 1.0e6f;
    bool ok = true;
    CarState c = car;
    eachField(
        c, [](uint8_t*, size_t) { return true; }, [](auto&) { return true; }, [](uint16_t&) { return true; },
        [&](float& v) {
            ok = ok && std::isfinite(v) && std::fabs(v) < reach;
            return true;
        },
        [](long) { return true; });
    return ok;
}
