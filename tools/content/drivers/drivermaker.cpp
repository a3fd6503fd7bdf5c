// Makes the drivers\*.drv files of a game folder from one description (JSON), run inside that
// folder: a human driver gets the new-driver settings; a computer driver its skill, car and
// colours. A car is named by its model name and becomes its index in the cars folder.
#include "race/car_models.h"
#include "season/driver_file.h"
#include "files/folder_list.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using nlohmann::json;

static bool fail(const std::string& what)
{
    std::fprintf(stderr, "tmdrivermaker: %s\n", what.c_str());
    return false;
}

// The model names in the order the game loads them.
static std::vector<std::string> modelNames()
{
    std::vector<std::string> files;
    listFolder(files, "cars", "car", listFiles, 0);
    std::vector<CarModel> models;
    for (const std::string& f : files) readCarFile("cars\\" + f + ".car", models);
    std::vector<std::string> names;
    for (const CarModel& m : models) names.push_back(m.name);
    return names;
}

static bool readColour(const json& d, const char* key, uint32_t& colour)
{
    if (!d.contains(key)) return true;
    const json& c = d.at(key);
    if (!c.is_array() || c.size() != 3) return fail(std::string(key) + " needs [red, green, blue]");
    colour = 0;
    for (int k = 0; k < 3; ++k) {
        int v = c.at(k).get<int>();
        if (v < 0 || v > 255) return fail(std::string(key) + " has a channel outside 0..255");
        colour |= static_cast<uint32_t>(v) << (8 * k);  // red in the low byte
    }
    return true;
}

static bool makeDriver(const json& d, const std::vector<std::string>& cars, std::string& name, DriverProfile& p)
{
    name = d.at("name").get<std::string>();
    if (!isDriverFileName(name)) return fail("\"" + name + "\" cannot be a driver's file name");
    std::string type = d.at("type");
    if (type == "human") {
        // Exactly a new driver, so a first game starts on the cursor keys.
        if (d.size() != 2) return fail(name + ": a human driver has only a name and a type");
        p = newDriverProfile(true);
        return true;
    }
    if (type != "computer") return fail(name + ": type is human or computer");
    p = newDriverProfile(false);
    int skill = d.at("skill");
    if (skill < 1 || skill > 200) return fail(name + ": skill lies outside 1..200");
    p.controls[1] = static_cast<uint32_t>(skill);
    if (d.contains("car")) {
        std::string car = d.at("car");
        size_t i = 0;
        while (i < cars.size() && cars[i] != car) ++i;
        if (i == cars.size()) return fail(name + ": no car model \"" + car + "\" in cars");
        p.carType = static_cast<uint32_t>(i);
    }
    return readColour(d, "colour1", p.colour1) && readColour(d, "colour2", p.colour2);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tmdrivermaker <drivers.json>  (run in the game folder)\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    json description = json::parse(in, nullptr, false);
    if (description.is_discarded()) return fail(std::string(argv[1]) + " is not JSON"), 1;
    std::vector<std::string> cars = modelNames();
    try {
        for (const json& d : description.at("drivers")) {
            std::string name;
            DriverProfile p;
            if (!makeDriver(d, cars, name, p)) return fail(std::string("in ") + argv[1]), 1;
            if (!writeDriver(name, &p)) return fail("cannot write drivers\\" + name + ".drv"), 1;
        }
    } catch (const json::exception& e) {
        return fail(std::string(argv[1]) + ": " + e.what()), 1;
    }
    return 0;
}
