// The engine's operations as the dialog and other programs call them: thin adapters over the
// library's functions, which must give exactly what those give and leave the records and lists
// as the engine's contract says.
#include "data/nearest_position.h"
#include "engine/coordinates.h"
#include "engine/solver.h"
#include "engine/triangulation_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

// What the 27-argument Triangulate gives back besides the records.
struct Outputs {
    double lonDeg = -1, lonMin = -1, lonSec = -1;
    int west = -1;
    double latDeg = -1, latMin = -1, latSec = -1;
    int south = -1;
    std::string name;
    int found = -1;
};

Outputs Solve(TriangulationEngine& engine, const Observation& a, const Observation& b) {
    Outputs o;
    o.found = engine.Triangulate(
        a.longitude.degrees, a.longitude.minutes, a.longitude.seconds, a.longitude.hemisphere,
        a.latitude.degrees, a.latitude.minutes, a.latitude.seconds, a.latitude.hemisphere,
        a.bearing, b.longitude.degrees, b.longitude.minutes, b.longitude.seconds,
        b.longitude.hemisphere, b.latitude.degrees, b.latitude.minutes, b.latitude.seconds,
        b.latitude.hemisphere, b.bearing, o.lonDeg, o.lonMin, o.lonSec, o.west, o.latDeg, o.latMin,
        o.latSec, o.south, o.name);
    return o;
}

// A point given in whole degrees, signs in the flags.
Observation At(double lon, double lat, double bearing) {
    return {{std::fabs(lon), 0, 0, std::signbit(lon) ? 1 : 0},
            {std::fabs(lat), 0, 0, std::signbit(lat) ? 1 : 0},
            bearing};
}

KnownPosition Entry(const std::string& name, double lon, double lat) {
    KnownPosition e;
    e.name = name;
    e.longitude = lon;
    e.latitude = lat;
    return e;
}

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

TEST(Engine, TriangulateGivesExactlyWhatTheSolverGives) {
    // Random observations, many of them on the special roads of the solver: cardinal and
    // parallel bearings, equal points, values beyond any map.
    std::mt19937_64 rng(20240613);
    std::uniform_real_distribution<double> any(0.0, 360.0);
    std::uniform_int_distribution<int> eighth(0, 8);
    std::uniform_int_distribution<int> flag(-1, 2);
    const auto value = [&](int road) {
        switch (road % 4) {
        case 0:
            return any(rng);
        case 1:
            return eighth(rng) * 45.0;
        case 2:
            return 0.0;
        default:
            return std::fmod(any(rng), 3.0);
        }
    };
    for (int i = 0; i < 20000; ++i) {
        const auto dms = [&] { return Dms{value(i), value(i + 1), value(i / 3), flag(rng)}; };
        const Observation a{dms(), dms(), value(i + 2)};
        Observation b{dms(), dms(), value(i / 2)};
        if (i % 5 == 0) {
            b.bearing = std::fmod(a.bearing + 180 * (i % 2), 360); // parallel or the same line
        }
        const Fix fix = Triangulate(a, b);

        TriangulationEngine engine;
        engine.result.name = "kept";
        engine.result.bearing = 7;
        const Outputs o = Solve(engine, a, b);
        const double outs[] = {o.lonDeg, o.lonMin, o.lonSec, o.latDeg, o.latMin, o.latSec};
        const double fixed[] = {fix.longitude.degrees, fix.longitude.minutes, fix.longitude.seconds,
                                fix.latitude.degrees,  fix.latitude.minutes,  fix.latitude.seconds};
        for (int k = 0; k < 6; ++k) {
            ASSERT_TRUE(Same(outs[k], fixed[k])) << "case " << i << " value " << k;
        }
        ASSERT_EQ(o.west, fix.longitude.hemisphere) << i;
        ASSERT_EQ(o.south, fix.latitude.hemisphere) << i;
        ASSERT_TRUE(Same(engine.result.longitude, fix.point.X())) << i;
        ASSERT_TRUE(Same(engine.result.latitude, fix.point.Y())) << i;
        ASSERT_TRUE(Same(engine.result.latitudeSeconds, fix.latitude.seconds)) << i;
        ASSERT_EQ(engine.result.west, o.west) << i;
        // The points keep what was entered, flags unchanged, with their signed decimals.
        ASSERT_TRUE(Same(engine.position2.longitude, b.Point().X())) << i;
        ASSERT_TRUE(Same(engine.position1.latitude, a.Point().Y())) << i;
        ASSERT_EQ(engine.position1.west, a.longitude.hemisphere) << i;
        ASSERT_EQ(engine.position2.south, b.latitude.hemisphere) << i;
        ASSERT_TRUE(Same(engine.position2.bearing, b.bearing)) << i;
        ASSERT_TRUE(Same(engine.position1.longitudeMinutes, a.longitude.minutes)) << i;
        // What the solver does not set stays.
        ASSERT_EQ(engine.result.name, "kept");
        ASSERT_EQ(engine.result.bearing, 7.0);
        ASSERT_EQ(o.name, "RESULTAT");
        ASSERT_EQ(o.found, 0);
    }
}

TEST(Engine, TriangulateLeavesTheRecordsOfTheRun) {
    TriangulationEngine engine;
    Observation first = At(-0.0, -0.0, 225);
    const Outputs o = Solve(engine, first, At(-2, -0.0, 135));
    EXPECT_EQ(engine.result.west, 1);
    EXPECT_EQ(engine.result.south, 1);
    EXPECT_EQ(o.lonDeg, engine.result.longitudeDegrees);
    EXPECT_EQ(engine.position2.longitudeDegrees, 2);
    EXPECT_EQ(engine.position2.west, 1);
    EXPECT_EQ(engine.position2.longitude, -2.0);
    EXPECT_EQ(engine.position1.bearing, 225);
    EXPECT_EQ(engine.result.bearing, 0.0);
    EXPECT_TRUE(engine.result.name.empty());
    EXPECT_TRUE(engine.position1.name.empty());

    // 45 degrees 30 minutes south is -45.5 as a whole.
    first = At(3, 0, 90);
    first.latitude = {45, 30, 0, 1};
    Solve(engine, first, At(4, 0, 0));
    EXPECT_EQ(engine.position1.latitude, -45.5);
    EXPECT_EQ(engine.position1.latitudeMinutes, 30);
}

TEST(Engine, ConversionsAreTheLibrarys) {
    for (const double v : {45.999999999, 0.1, -0.0000009, 1e12 + 0.5}) {
        double decimal = -1;
        TriangulationEngine::DmsToDecimal(v, v, v, decimal);
        EXPECT_TRUE(Same(decimal, ervalun::SignedDecimal(v, v, v, 0))) << v;
        double d = -1, m = -1, s = -1, dl = -2, ml = -2, sl = -2;
        TriangulationEngine::DecimalToDms(v, d, m, s);
        ervalun::DecimalToDms(v, dl, ml, sl);
        EXPECT_TRUE(Same(d, dl) && Same(m, ml) && Same(s, sl)) << v;
        double snapped = v, snappedByLibrary = v;
        TriangulationEngine::SnapToZero(snapped);
        ervalun::SnapToZero(snappedByLibrary);
        EXPECT_TRUE(Same(snapped, snappedByLibrary)) << v;
    }
}

TEST(Nearest, NamesTheClosestEntryAndRecordsEveryDistance) {
    TriangulationEngine engine;
    engine.directory = {Entry("Aval", 5, 5), Entry("Borne", 1, 1.2), Entry("Cairn", -3, 0)};
    engine.directoryLoaded = 1;
    const Outputs f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 1);
    EXPECT_EQ(f.name, "Borne");
    EXPECT_NEAR(engine.directory[0].distance, std::sqrt(32.0), 1e-8);
    EXPECT_NEAR(engine.directory[1].distance, 0.2, 1e-8);
    EXPECT_NEAR(engine.directory[2].distance, std::sqrt(17.0), 1e-8);
}

TEST(Nearest, TieGoesToTheLastEntryAndDistanceIsUnbounded) {
    TriangulationEngine engine;
    std::vector<KnownPosition> list = {Entry("Alpha", 1, 0), Entry("Bravo", -1, 0),
                                       Entry("Charlie", 0, 5)};
    std::string name = "avant";
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Bravo");

    // Within a millionth of a degree counts as a tie too.
    list = {Entry("Alpha", 1, 0), Entry("Bravo", -1.0000005, 0)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Bravo");
    list = {Entry("Alpha", 1, 0), Entry("Bravo", -1.000002, 0)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Alpha");

    // However far, the only entry is named; west entries compare by their signed longitude.
    list = {Entry("Loin", -50, 0)};
    EXPECT_EQ(engine.FindNearestPosition(-0.5, 0, name, list), 1);
    EXPECT_EQ(name, "Loin");
    EXPECT_NEAR(list[0].distance, 49.5, 1e-12);

    // A distance that is no number is never the smallest; when none is, nothing is named.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    list = {Entry("Rien", nan, 0), Entry("Proche", 2, 0), Entry("Rien", 0, nan)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Proche");
    name = "avant";
    list = {Entry("Rien", nan, 0)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 0);
    EXPECT_EQ(name, "avant");
    EXPECT_EQ(ervalun::ChosenEntry(list), nullptr);
}

TEST(Nearest, OnePassChoosesAsTheTwoPassRule) {
    // The rule in its plain form: measure every distance, take the smallest, then the last entry
    // strictly within 1e-6 of it. Random lists crowded with near ties (steps of a third of the
    // threshold, so the smallest falls past earlier candidates), far points where 1e-6 is below
    // the rounding, and points that are no number or infinite.
    auto rule = [](const std::vector<KnownPosition>& list) -> const KnownPosition* {
        double smallest = 0.0;
        bool any = false;
        for (const KnownPosition& e : list) {
            if (!std::isnan(e.distance) && (!any || e.distance < smallest)) {
                smallest = e.distance;
                any = true;
            }
        }
        const KnownPosition* chosen = nullptr;
        for (const KnownPosition& e : list) {
            if (any && e.distance > smallest - 1e-6 && e.distance < 1e-6 + smallest) {
                chosen = &e;
            }
        }
        return chosen;
    };
    std::mt19937 rng(2215);
    std::uniform_int_distribution<int> count(0, 40);
    std::uniform_int_distribution<int> step(0, 12);
    std::uniform_int_distribution<int> kind(0, 49);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int round = 0; round < 20000; ++round) {
        const double scale = round % 10 == 0 ? 1e11 : 1.0;
        std::vector<KnownPosition> list;
        for (int i = count(rng); i > 0; --i) {
            const int k = kind(rng);
            const double lon = k == 0 ? nan : k == 1 ? inf : scale + step(rng) * (1e-6 / 3);
            list.push_back(Entry("E" + std::to_string(i), lon, 0));
        }
        TriangulationEngine engine;
        std::string name = "avant";
        const int found = engine.FindNearestPosition(0, 0, name, list);
        const KnownPosition* expected = rule(list);
        ASSERT_EQ(found, expected != nullptr ? 1 : 0) << "round " << round;
        ASSERT_EQ(name, expected != nullptr ? expected->name : "avant") << "round " << round;
        ASSERT_EQ(ervalun::ChosenEntry(list), expected) << "round " << round;
    }
}

TEST(Nearest, EmptyOrUnloadedDirectoryGivesResultat) {
    TriangulationEngine engine;
    std::string name = "inchangé";
    std::vector<KnownPosition> empty;
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, empty), 0);
    EXPECT_EQ(name, "inchangé");

    // Loaded but empty.
    engine.directoryLoaded = 1;
    Outputs f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 0);
    EXPECT_EQ(f.name, "RESULTAT");

    // Entries present but the load failed: they are not consulted.
    engine.directoryLoaded = 0;
    engine.directory = {Entry("Ici", 1, 1)};
    engine.directory[0].distance = 42;
    f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 0);
    EXPECT_EQ(f.name, "RESULTAT");
    EXPECT_EQ(engine.directory[0].distance, 42);
}

TEST(Nearest, NamedEntryIsTheOneTheSearchChose) {
    TriangulationEngine engine;
    std::vector<KnownPosition> directory(3);
    directory[0].name = "Alpha";
    directory[0].longitude = 1;
    directory[1].name = "Beta";
    directory[1].longitude = -1; // as near as Alpha: the later entry wins
    directory[2].name = "Gamma";
    directory[2].longitude = 5;
    std::string name;
    ASSERT_EQ(engine.FindNearestPosition(0, 0, name, directory), 1);
    const KnownPosition* entry = ervalun::NamedEntry(directory, name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, &directory[1]);
    EXPECT_EQ(ervalun::NamedEntry(directory, "RESULTAT"), nullptr);
    EXPECT_EQ(ervalun::NamedEntry({}, "Beta"), nullptr);
}

TEST(Records, DefaultsAndCopies) {
    const KnownPosition k;
    EXPECT_EQ(k.distance, 0.0);
    EXPECT_EQ(k.latitude, 0.0);
    EXPECT_EQ(k.longitude, 0.0);
    EXPECT_TRUE(k.name.empty());
    const Member m;
    EXPECT_EQ(m.role, -1);
    EXPECT_TRUE(m.name.empty());

    Member p;
    p.name = "Bravo";
    p.role = 1;
    const Member pc = p;
    EXPECT_EQ(pc.role, 1);
    EXPECT_EQ(pc.name, "Bravo");

    KnownPosition e = Entry("Refuge", 6, 45);
    e.distance = 3.25;
    const KnownPosition ec = e;
    EXPECT_EQ(ec.distance, 3.25);

    GeoPosition g;
    EXPECT_EQ(g.west, 0);
    EXPECT_EQ(g.bearing, 0.0);
    g.south = 1;
    g.name = "Point";
    GeoPosition gc = g;
    g.name = "Autre";
    EXPECT_EQ(gc.south, 1);
    EXPECT_EQ(gc.name, "Point");
}

TEST(NameOrder, UnsignedBytesAndPrefixFirst) {
    EXPECT_TRUE(NameLess("Bravo", "alpha"));
    EXPECT_FALSE(NameLess("alpha", "Bravo"));
    EXPECT_TRUE(NameLess("Eric", "\xC9mile"));     // Latin-1 E acute
    EXPECT_TRUE(NameLess("Eric", "\xC3\x89mile")); // the same in UTF-8
    EXPECT_TRUE(NameLess("Port", "Portail"));
    EXPECT_FALSE(NameLess("Portail", "Port"));
    EXPECT_FALSE(NameLess("Port", "Port"));
    EXPECT_TRUE(NameLess("", "A"));
    EXPECT_TRUE(NameLess(std::string("a\0b", 3), std::string("a\x01", 2)));

    std::vector<Member> roster(4);
    roster[0].name = "\xC9mile";
    roster[1].name = "alpha";
    roster[2].name = "Portail";
    roster[3].name = "Port";
    SortByName(roster);
    EXPECT_EQ(roster[0].name, "Port");
    EXPECT_EQ(roster[1].name, "Portail");
    EXPECT_EQ(roster[2].name, "alpha");
    EXPECT_EQ(roster[3].name, "\xC9mile");

    std::vector<KnownPosition> directory = {Entry("col", 0, 0), Entry("Col", 0, 0),
                                            Entry("Cap", 0, 0)};
    SortByName(directory);
    EXPECT_EQ(directory[0].name, "Cap");
    EXPECT_EQ(directory[1].name, "Col");
    EXPECT_EQ(directory[2].name, "col");
}

TEST(NameOrder, SortByNameIsTheStableByteOrderAtAnyLength) {
    // Names that the sort's 16-byte keys cannot tell apart by themselves: long shared
    // beginnings, lengths around 8 and 16, zero and high bytes, many repeats. Each record keeps
    // its own payload, and equal names keep their order, on one thread or on two.
    std::mt19937 rng(17);
    const std::string stems[] = {"",         "Saint-Jean-de-Mau",      "Saint-Jean-de-M", "Col-du-",
                                 "Col-du-G", std::string("Ze\0ro", 5), "\xC3\x89tang-",   "\xC9"};
    std::uniform_int_distribution<std::size_t> stem(0, std::size(stems) - 1);
    std::uniform_int_distribution<int> tail(0, 3);
    std::uniform_int_distribution<int> byte(0, 3);
    const char bytes[] = {'a', 'A', '\0', '\xFF'};
    for (const int size : {0, 1, 2, 57, 3000, 140000}) {
        std::vector<Member> list(static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) {
            std::string name = stems[stem(rng)];
            for (int n = tail(rng); n > 0; --n) {
                name += bytes[byte(rng)];
            }
            list[static_cast<std::size_t>(i)].name = name;
            list[static_cast<std::size_t>(i)].role = i;
        }
        std::vector<Member> expected = list;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Member& a, const Member& b) { return NameLess(a.name, b.name); });
        SortByName(list);
        ASSERT_EQ(list.size(), expected.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            ASSERT_EQ(list[i].name, expected[i].name) << "size " << size << ", place " << i;
            ASSERT_EQ(list[i].role, expected[i].role) << "size " << size << ", place " << i;
        }
    }
}
