// The nine maps, checked against values worked out by hand.
#include "attractor/families/icon.h"
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/families/polynomial.h"
#include "attractor/families/unravel.h"
#include "attractor/rng.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vorticel {
namespace {

void ExpectPoint(const Vecd& p, double x, double y, double z, double tolerance = 1e-12) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

double Length(const Vecd& p) {
    return std::sqrt(Dot(p, p));
}

TEST(IconMap, DegreeTwoWithUnitLambdaKeepsThePlanarPoint) {
    Icon icon;
    icon.degree = 2;
    icon.lambda = 1.0;
    Vecd p{0.3, -0.4, 7.0};
    icon.Iterate(p);
    ExpectPoint(p, 0.3, -0.4, 0.25);
}

TEST(IconMap, DegreeThreeWithBetaOnly) {
    Icon icon;
    icon.degree = 3;
    icon.beta = 1.0;
    Vecd p{1.0, 1.0, 0.0};
    icon.Iterate(p); // s = Re((1 + i)^3) = -2
    ExpectPoint(p, -2.0, -2.0, 2.0);
}

TEST(IconMap, GeneralDegreeMatchesComplexArithmetic) {
    Icon icon;
    icon.degree = 5;
    icon.alpha = -2.5;
    icon.beta = 0.4;
    icon.lambda = 1.3;
    icon.gamma = 0.7;
    icon.omega = -0.2;
    const double x = 0.31;
    const double y = -0.17;
    // z' = (lambda + alpha|z|^2 + beta Re(z^n) + i omega) z + gamma conj(z)^(n-1)
    const double zr[] = {x, y};
    double pr = x;
    double pi = y;
    for (int i = 2; i < 5; ++i) {
        const double nr = pr * zr[0] - pi * zr[1];
        pi = pr * zr[1] + pi * zr[0];
        pr = nr;
    }
    const double zz = x * x + y * y;
    const double reZn = x * pr - y * pi;
    const double s = icon.lambda + icon.alpha * zz + icon.beta * reZn;
    const double ex = s * x - icon.omega * y + icon.gamma * pr;
    const double ey = s * y + icon.omega * x - icon.gamma * pi;
    Vecd p{x, y, 0.0};
    icon.Iterate(p);
    ExpectPoint(p, ex, ey, zz);
}

TEST(IfsMap, ChoosesTheFirstMapWhoseRunningSumReachesTheDraw) {
    IFS ifs;
    ifs.probabilities = {0.3, 0.6};
    // Map 0 translates by (1, 0, 0), map 1 by (0, 1, 0); both matrices zero.
    ifs.coefficients.assign(24, 0.0);
    ifs.coefficients[9] = 1.0;
    ifs.coefficients[12 + 10] = 1.0;
    RandomSeed(3);
    int first = 0;
    int second = 0;
    for (int i = 0; i < 20000; ++i) {
        Vecd p{5, 5, 5};
        ifs.Iterate(p);
        (p.x == 1.0 ? first : second)++;
    }
    // u <= 0.3 picks map 0, anything above (including u > 0.9) picks the last map.
    EXPECT_NEAR(first / 20000.0, 0.3, 0.02);
    EXPECT_EQ(first + second, 20000);
}

TEST(IfsMap, AffineImage) {
    IFS ifs;
    ifs.probabilities = {1.0, 0.0};
    for (int j = 0; j < 12; ++j) {
        ifs.coefficients[j] = j + 1; // rows (1 2 3) (4 5 6) (7 8 9), translation (10 11 12)
    }
    Vecd p{1, -1, 2};
    ifs.Iterate(p);
    ExpectPoint(p, 1 - 2 + 6 + 10, 4 - 5 + 12 + 11, 7 - 8 + 18 + 12);
}

TEST(IfsMap, VolumeFactorIsTheAbsoluteDeterminant) {
    IFS ifs;
    const double m[9] = {2, 1, 0, 0, 3, 1, 1, 0, 1}; // det = 2*3 - 1*(0 - 1) = 7
    for (int j = 0; j < 9; ++j) {
        ifs.coefficients[j] = m[j];
        ifs.coefficients[12 + j] = -m[j];
    }
    EXPECT_DOUBLE_EQ(ifs.VolumeFactor(0), 7.0);
    EXPECT_DOUBLE_EQ(ifs.VolumeFactor(1), 7.0);
}

TEST(LorenzMap, OneEulerStep) {
    Lorenz_2L l;
    l.a = 10;
    l.b = 28;
    l.c = 8.0 / 3.0;
    l.dt = 0.01;
    l.Reset();
    Vecd p{1, 2, 3};
    l.Iterate(p);
    ExpectPoint(p, 1 + 0.01 * 10 * (2 - 1), 2 + 0.01 * (1 * (28 - 3) - 2),
                3 + 0.01 * (1 * 2 - 8.0 / 3.0 * 3));
}

TEST(LorenzMap, ZeroStepStandsStill) {
    Lorenz_2L l;
    l.a = 10;
    l.b = 28;
    l.Reset();
    Vecd p{1, 2, 3};
    l.Iterate(p);
    ExpectPoint(p, 1, 2, 3, 0.0);
}

TEST(PickoverMap, AllZeroParameters) {
    Pickover m;
    Vecd p{0.7, 0.2, 0.4};
    m.Iterate(p);
    ExpectPoint(p, -0.4, -1.0, std::sin(0.7));
}

TEST(PickoverMap, GeneralFormula) {
    Pickover m;
    m.a = 2.24;
    m.b = 0.43;
    m.c = -0.65;
    m.d = -2.43;
    const double x = 0.1, y = -0.3, z = 0.8;
    Vecd p{x, y, z};
    m.Iterate(p);
    ExpectPoint(p, std::sin(2.24 * y) - z * std::cos(0.43 * x),
                z * std::sin(-0.65 * x) - std::cos(-2.43 * y), std::sin(x));
}

TEST(PolynomialMaps, TypesAAndB) {
    Polynomial_A a;
    a.coefficients = {0.1, 0.2, 0.3};
    Vecd p{1, 2, 3};
    a.Iterate(p);
    ExpectPoint(p, 0.1 + 2 - 6, 0.2 + 3 - 3, 0.3 + 1 - 2);

    Polynomial_B b;
    b.coefficients = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
    p = {1, 2, 3};
    b.Iterate(p);
    ExpectPoint(p, (0.1 + 2) - (2 + 0.2) * 3, (0.3 + 3) - (3 + 0.4) * 1, (0.5 + 1) - (1 + 0.6) * 2);
}

TEST(PolynomialMaps, TypeCIsAQuadraticInTwoCoordinates) {
    Polynomial_C c;
    for (int i = 0; i < 18; ++i) {
        c.coefficients[i] = 0.05 * (i + 1) * (i % 2 ? -1 : 1);
    }
    const double x = 0.3, y = -0.6, z = 0.9;
    const double* k = c.coefficients.data();
    Vecd p{x, y, z};
    c.Iterate(p);
    ExpectPoint(p, k[0] + k[1] * x + k[2] * x * x + k[3] * x * y + k[4] * y + k[5] * y * y,
                k[6] + k[7] * y + k[8] * y * y + k[9] * y * z + k[10] * z + k[11] * z * z,
                k[12] + k[13] * z + k[14] * z * z + k[15] * z * x + k[16] * x + k[17] * x * x);
}

TEST(PolynomialMaps, SprottTermOrder) {
    Polynomial_Sprott s;
    s.coefficients[1] = 1.0;  // x term of x'
    s.coefficients[11] = 1.0; // x term of y'
    Vecd p{0.4, -0.9, 2.0};
    s.Iterate(p);
    ExpectPoint(p, 0.4, 0.4, 0.0);

    // Terms per output: 1, x, x^2, xy, xz, y, y^2, yz, z, z^2.
    Polynomial_Sprott t;
    for (int i = 0; i < 30; ++i) {
        t.coefficients[i] = (i % 7) * 0.1 - 0.3;
    }
    const double x = 0.2, y = -0.5, z = 0.7;
    const double terms[10] = {1, x, x * x, x * y, x * z, y, y * y, y * z, z, z * z};
    double expected[3] = {0, 0, 0};
    for (int o = 0; o < 3; ++o) {
        for (int k = 0; k < 10; ++k) {
            expected[o] += t.coefficients[10 * o + k] * terms[k];
        }
    }
    p = {x, y, z};
    t.Iterate(p);
    ExpectPoint(p, expected[0], expected[1], expected[2]);
}

TEST(PolynomialMaps, SprottQuadraticMatchesTheGeneralLoopsBitForBit) {
    RandomSeed(31);
    Polynomial_Sprott s;
    for (int trial = 0; trial < 100; ++trial) {
        s.Randomize();
        Vecd fast{0.05 * trial - 2.0, 0.3, -0.7 + 0.01 * trial};
        Vecd general = fast;
        for (int step = 0; step < 5; ++step) {
            s.Iterate(fast);
            s.IterateGeneral(general);
        }
        EXPECT_EQ(fast.x, general.x);
        EXPECT_EQ(fast.y, general.y);
        EXPECT_EQ(fast.z, general.z);
    }
}

TEST(PolynomialMaps, SprottHigherOrderNeverReadsPastItsCoefficients) {
    Polynomial_Sprott s;
    for (double& c : s.coefficients) {
        c = 0.01;
    }
    s.order = 5; // needs far more than 30 coefficients: the terms stop at the last one
    Vecd p{0.5, 0.5, 0.5};
    s.Iterate(p);
    EXPECT_TRUE(std::isfinite(p.x));
}

TEST(UnravelMap, FoldsBackIntoTheBall) {
    Unravel u;
    u.r = 1.0;
    u.n = 1.0; // image = (0, x, 0) with a = (z + A) L = 0, b = (x + E) N, c = (y + U) V = 0
    Vecd p{2.5, 0, 0};
    u.Iterate(p); // d = 2.5, k = 2, h = 1 - 3/2.5 = -0.2
    ExpectPoint(p, 0.0, -0.5, 0.0);
    EXPECT_NEAR(Length(p), 0.5, 1e-12);
    EXPECT_FALSE(u.diverged);
}

TEST(UnravelMap, InsideTheBallIsUnchanged) {
    Unravel u;
    u.r = 1.0;
    u.a = 0.1;
    u.l = 2.0;
    u.e = 0.2;
    u.n = 1.0;
    u.u = -0.1;
    u.v = 1.5;
    Vecd p{0.1, 0.2, 0.1};
    u.Iterate(p);
    ExpectPoint(p, (0.1 + 0.1) * 2.0, (0.1 + 0.2) * 1.0, (0.2 - 0.1) * 1.5);
}

TEST(UnravelMap, ZeroRadiusDivergesAndLeavesThePoint) {
    Unravel u;
    u.r = 0.0;
    u.n = 1.0;
    Vecd p{1, 2, 3};
    u.Iterate(p);
    EXPECT_TRUE(u.diverged);
    ExpectPoint(p, 1, 2, 3, 0.0);
}

TEST(UnravelMap, HugeOrNonFiniteImagesDoNotCrash) {
    Unravel u;
    u.r = 1e-300;
    u.n = 1e300;
    Vecd p{1e300, 0, 0};
    u.Iterate(p); // d / R far beyond 32 bits
    u.r = -1.0;
    p = {std::nan(""), 0, 0};
    u.Iterate(p);
    SUCCEED();
}

} // namespace
} // namespace vorticel
