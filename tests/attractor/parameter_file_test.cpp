// Saving and loading parameter files.
#include "attractor/catalogue.h"
#include "attractor/families/icon.h"
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/polynomial.h"
#include "attractor/parameter_file.h"
#include "attractor/rng.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <sys/stat.h>

namespace vorticel {
namespace {

namespace fs = std::filesystem;

class ParameterFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vorticel-file-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir;
};

// A = 10, B = 28, C = 2.667, dT = 0.01.
struct ClassicLorenz : Lorenz_2L {
    ClassicLorenz() {
        a = 10;
        b = 28;
        c = 2.667;
        dt = 0.01;
    }
};

TEST_F(ParameterFile, LorenzIsFiveCrlfLines) {
    ClassicLorenz().SaveParameters(Path("l.vtc"));
    EXPECT_EQ(Read("l.vtc"),
              "[Lorenz]\r\nA=10.000000\r\nB=28.000000\r\nC=2.667000\r\ndT=0.010000\r\n");
}

TEST_F(ParameterFile, WrittenInWindows1252) {
    Icon icon;
    icon.degree = 5;
    icon.SaveParameters(Path("i.vtc"));
    const std::string bytes = Read("i.vtc");
    EXPECT_EQ(bytes.substr(0, 17), "[Icon]\r\nDegr\xE9=5\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 7);
    Polynomial_Sprott sprott;
    sprott.SaveParameters(Path("s.vtc"));
    const std::string s = Read("s.vtc");
    EXPECT_EQ(s.substr(0, 19), "[Polyn\xF4me Sprott]\r\n");
    EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), 31);
}

TEST_F(ParameterFile, SaveThenLoadIsTheIdentityForEveryFamily) {
    RandomSeed(8);
    for (int family = 0; family < kFamilyCount; ++family) {
        const auto saved = CreateAttractor(family);
        saved->Randomize();
        saved->SaveParameters(Path("x.vtc"));
        const auto loaded = CreateAttractor(family);
        loaded->LoadParameters(Path("x.vtc"));
        EXPECT_EQ(loaded->ParameterLines(), saved->ParameterLines()) << family;
    }
}

// The largest values each family's parameters can hold make the longest lines the program
// writes; every one of them must load back.
TEST_F(ParameterFile, TheExtremesOfEveryParameterSaveAndLoadBack) {
    for (int family = 0; family < kFamilyCount; ++family) {
        for (const bool largest : {true, false}) {
            const auto saved = CreateAttractor(family);
            for (const ParameterEntry* e = saved->parameters->Next(nullptr); e;
                 e = saved->parameters->Next(e)) {
                // An integer's extremes are its bounds: beyond them a file is refused.
                const double extreme = e->type == kInt8
                                           ? static_cast<double>(ParameterList::ReadValue(
                                                 e->type, largest ? e->maximum : e->minimum))
                                           : (largest ? std::numeric_limits<double>::max()
                                                      : std::numeric_limits<double>::lowest());
                ParameterList::WriteValue(e->value, e->type, extreme);
            }
            saved->SaveParameters(Path("x.vtc"));
            for (const std::string& line : saved->ParameterLines()) {
                EXPECT_LE(line.size(), kMaxParameterLineLength);
            }
            const auto loaded = CreateAttractor(family);
            loaded->LoadParameters(Path("x.vtc"));
            EXPECT_EQ(loaded->ParameterLines(), saved->ParameterLines()) << family;
        }
    }
}

TEST_F(ParameterFile, AFileThatSetsNoParameterSaysSoAndChangesNothing) {
    ClassicLorenz l;
    for (const char* bytes : {"[Lorenz]\r\n", "[Lorenz]\nAlpha=1\nnothing\n", ""}) {
        Write("h.vtc", bytes);
        try {
            l.LoadParameters(Path("h.vtc"));
            ADD_FAILURE() << "no error for " << bytes;
        } catch (const FileError& e) {
            EXPECT_EQ(e.reason(), FileError::Reason::NoParameters);
            EXPECT_NE(std::string(e.what()).find("no parameter was read"), std::string::npos);
        }
    }
    EXPECT_EQ(l.a, 10.0);
    EXPECT_EQ(l.dt, 0.01);
}

TEST_F(ParameterFile, OnlyRegularFilesOfBoundedSizeAreRead) {
    ClassicLorenz l;
    ASSERT_EQ(::mkfifo(Path("pipe.vtc").c_str(), 0644), 0);
    EXPECT_THROW(l.LoadParameters(Path("pipe.vtc")), FileError); // no writer: must not wait
    EXPECT_THROW(l.LoadParameters("/dev/zero"), FileError);      // no end: must not grow
    EXPECT_THROW(ReadFamilyIndex("/dev/zero"), FileError);
    // Short lines, but more than a parameter file ever holds.
    std::string many = "[Lorenz]\n";
    while (many.size() <= kMaxParameterFileBytes) {
        many += "A=1\n";
    }
    Write("many.vtc", many);
    EXPECT_THROW(l.LoadParameters(Path("many.vtc")), FileError);
    EXPECT_EQ(l.a, 10.0);
}

TEST_F(ParameterFile, IconDegreeSurvivesInEitherEncoding) {
    Icon icon;
    Write("cp.vtc", "[Icon]\r\nDegr\xE9=7\r\nAlpha=1.5\r\n");
    icon.LoadParameters(Path("cp.vtc"));
    EXPECT_EQ(icon.degree, 7);
    EXPECT_EQ(icon.alpha, 1.5);
    Write("utf.vtc", "[Icon]\nDegré=9\nAlpha=-1.25\n");
    icon.LoadParameters(Path("utf.vtc"));
    EXPECT_EQ(icon.degree, 9);
    EXPECT_EQ(icon.alpha, -1.25);
}

TEST_F(ParameterFile, AnIntegerOutsideItsBoundsRefusesTheWholeFileNamingTheLine) {
    Icon icon;
    icon.degree = 7;
    icon.alpha = 0.5;
    // Each once wrapped or was kept: 2147483646 stored -2, 1e9 stored 0, 100 stayed.
    for (const char* value : {"2147483646", "1e9", "100", "25", "1", "-3", "abc"}) {
        Write("d.vtc", std::string("[Icon]\r\nAlpha=1.5\r\nDegr\xE9=") + value + "\r\n");
        try {
            icon.LoadParameters(Path("d.vtc"));
            ADD_FAILURE() << value << " was taken";
        } catch (const FileError& e) {
            EXPECT_EQ(e.reason(), FileError::Reason::OutOfRange);
            EXPECT_EQ(e.subject(), std::string("3 (Degré=") + value + ")");
            EXPECT_NE(std::string(e.what()).find("Degré takes a whole number from 2 to 24"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(icon.degree, 7) << value; // nothing applied, not even the line before
        EXPECT_EQ(icon.alpha, 0.5) << value;
    }
    // The bounds themselves, and a fraction dropped as it always was.
    for (const auto& [value, stored] : {std::pair{"2", 2}, {"24", 24}, {"24.9", 24}, {"3.5", 3}}) {
        Write("d.vtc", std::string("[Icon]\nDegré=") + value + "\n");
        icon.LoadParameters(Path("d.vtc"));
        EXPECT_EQ(icon.degree, stored) << value;
    }
    // A real outside its search range is kept, as it always was.
    Write("a.vtc", "[Icon]\nAlpha=1000\n");
    icon.LoadParameters(Path("a.vtc"));
    EXPECT_EQ(icon.alpha, 1000.0);
}

TEST_F(ParameterFile, IfsLinesAndProbabilities) {
    RandomSeed(4);
    IFS ifs;
    ifs.Randomize();
    ifs.SaveParameters(Path("f.vtc"));
    std::istringstream lines(Read("f.vtc"));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[IFS]\r");
    int n = 0;
    double probabilities = 0.0;
    while (std::getline(lines, line)) {
        ++n;
        if (line.find("prob=") != std::string::npos) {
            probabilities += std::stod(line.substr(line.find('=') + 1));
        }
    }
    EXPECT_EQ(n, 26);
    EXPECT_NEAR(probabilities, 1.0, 2e-6);
}

TEST_F(ParameterFile, LoadSkipsTheHeaderBlankAndUnknownLines) {
    ClassicLorenz l;
    Write("p.vtc", "A=3\nB=4\n\nC=5\nbogus line\nZ=9\ndT\n");
    l.LoadParameters(Path("p.vtc"));
    EXPECT_EQ(l.a, 10.0); // the first line is a header, whatever it holds
    EXPECT_EQ(l.b, 4.0);
    EXPECT_EQ(l.c, 5.0);
    EXPECT_EQ(l.dt, 0.01);
}

TEST_F(ParameterFile, LaterDuplicatesWinAndALastLineWithoutEndCounts) {
    ClassicLorenz l;
    Write("d.vtc", "[Lorenz]\r\nA=1\r\nA=2\r\ndT=0.25");
    l.LoadParameters(Path("d.vtc"));
    EXPECT_EQ(l.a, 2.0);
    EXPECT_EQ(l.dt, 0.25);
}

TEST_F(ParameterFile, LinesUpToTheBoundLoadAndALongerOneChangesNothing) {
    ClassicLorenz l;
    const std::string longest = "B=2" + std::string(kMaxParameterLineLength - 3, ' ');
    Write("fits.vtc", "[Lorenz]\nA=1\n" + longest + "\nC=3\n");
    l.LoadParameters(Path("fits.vtc"));
    EXPECT_EQ(l.a, 1.0);
    EXPECT_EQ(l.b, 2.0); // once the end of the load: lines after it count now
    EXPECT_EQ(l.c, 3.0);
    ClassicLorenz m;
    Write("long.vtc", "[Lorenz]\nA=1\n" + longest + " \nC=3\n");
    try {
        m.LoadParameters(Path("long.vtc"));
        FAIL() << "a line over the bound was accepted";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::LineTooLong);
        EXPECT_NE(std::string(e.what()).find("line 3 is longer"), std::string::npos) << e.what();
    }
    EXPECT_EQ(m.a, 10.0); // nothing applied, not even the lines before it
    EXPECT_THROW(ReadFamilyIndex(Path("long.vtc")), FileError);
}

TEST_F(ParameterFile, PickoverFileSetsSharedNamesOfALorenz) {
    ClassicLorenz l;
    Write("pick.vtc", "[Pickover]\r\nA=2.24\r\nB=0.43\r\nC=-0.65\r\nD=-2.43\r\n");
    l.Reset();
    l.Step();
    const Vecd before = l.point;
    l.LoadParameters(Path("pick.vtc"));
    EXPECT_EQ(l.a, 2.24);
    EXPECT_EQ(l.b, 0.43);
    EXPECT_EQ(l.c, -0.65);
    EXPECT_EQ(l.dt, 0.01);
    EXPECT_EQ(l.count, 1); // loading leaves the orbit alone
    EXPECT_EQ(l.point.x, before.x);
    EXPECT_EQ(l.aDt, 10 * 0.01);
}

TEST_F(ParameterFile, PolynomialCRestoresAll18CoefficientsToSixDecimals) {
    RandomSeed(11);
    Polynomial_C saved;
    for (int i = 0; i < 18; ++i) {
        saved.coefficients[i] = -1.2 + 0.1234567 * i;
    }
    saved.SaveParameters(Path("c.vtc"));
    Polynomial_C loaded;
    loaded.LoadParameters(Path("c.vtc"));
    for (int i = 0; i < 18; ++i) {
        EXPECT_NEAR(loaded.coefficients[i], saved.coefficients[i], 5e-7) << i;
    }
}

TEST_F(ParameterFile, NumbersUseAPointUnderAFrenchLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "fr_FR.UTF-8 locale not installed";
    }
    ClassicLorenz().SaveParameters(Path("fr.vtc"));
    const std::string bytes = Read("fr.vtc");
    Lorenz_2L l;
    l.LoadParameters(Path("fr.vtc"));
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(bytes.find("C=2.667000"), std::string::npos);
    EXPECT_EQ(l.c, 2.667);
    EXPECT_EQ(l.dt, 0.01);
}

TEST_F(ParameterFile, FailuresAreReportedWithTheFileName) {
    ClassicLorenz l;
    try {
        l.LoadParameters(Path("missing.vtc"));
        FAIL() << "no error for a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::Open);
        EXPECT_EQ(e.fileName(), Path("missing.vtc"));
    }
    EXPECT_THROW(l.LoadParameters(dir.string()), FileError); // a folder is no file
    EXPECT_THROW(l.SaveParameters(Path("no/such/folder/x.vtc")), FileError);
    EXPECT_THROW(ReadFamilyIndex(Path("missing.vtc")), FileError);
    EXPECT_EQ(l.a, 10.0);
}

TEST_F(ParameterFile, AFailedSaveKeepsTheOldFileAndLeavesNoLitter) {
    ClassicLorenz l;
    l.SaveParameters(Path("keep.vtc"));
    const std::string good = Read("keep.vtc");
    if (::geteuid() == 0) {
        // Root ignores folder permissions; a name that is a folder still cannot be replaced.
        fs::create_directories(dir / "taken.vtc");
        EXPECT_THROW(l.SaveParameters(Path("taken.vtc")), FileError);
    } else {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        l.a = 1;
        EXPECT_THROW(l.SaveParameters(Path("keep.vtc")), FileError);
        fs::permissions(dir, fs::perms::owner_all);
    }
    EXPECT_EQ(Read("keep.vtc"), good);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) {
        ++files;
    }
    EXPECT_EQ(files, ::geteuid() == 0 ? 2 : 1);
}

TEST_F(ParameterFile, SaveReplacesAndKeepsUsualPermissions) {
    Write("old.vtc", "stale contents that are longer than the new file will be .......\n");
    ClassicLorenz().SaveParameters(Path("old.vtc"));
    EXPECT_EQ(Read("old.vtc").substr(0, 10), "[Lorenz]\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(Path("old.vtc").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IRUSR, 0u);
    EXPECT_NE(info.st_mode & S_IWUSR, 0u);
}

TEST_F(ParameterFile, HeaderNamesTheFamily) {
    Write("h.vtc", "[Polyn\xF4me, type B]\r\nP0=1\r\n");
    EXPECT_EQ(ReadFamilyIndex(Path("h.vtc")), 5);
    Write("u.vtc", "[Polynôme, type B]\nP0=1\n");
    EXPECT_EQ(ReadFamilyIndex(Path("u.vtc")), 5);
    Write("n.vtc", "A=1\n");
    EXPECT_EQ(ReadFamilyIndex(Path("n.vtc")), std::nullopt);
    Write("e.vtc", "");
    EXPECT_EQ(ReadFamilyIndex(Path("e.vtc")), std::nullopt);
}

} // namespace
} // namespace vorticel
