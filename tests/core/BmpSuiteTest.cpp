// Conformance against the BMP suite in tests/data/bmpsuite: every row of its INDEX.tsv is decoded and
// compared with the expected RGBA image, following the rules of the suite's README.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Bmp.h"

namespace velmo::bmp {
namespace {

const std::string kSuite = VELMO_BMPSUITE_DIR;

struct Row {
    std::string set, file, ref, expect, tolerance;
    std::vector<std::string> alts;
    std::string Name() const { return set + "/" + file; }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

std::vector<Row> ReadIndex() {
    std::ifstream in(kSuite + "/INDEX.tsv");
    std::vector<Row> rows;
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::vector<std::string> c = Split(line, '\t');
        if (c.size() < 12)
            continue;
        Row row{c[0], c[1], c[3], c[10], c[11], {}};
        if (!c[4].empty())
            row.alts = Split(c[4], ';');
        rows.push_back(row);
    }
    return rows;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Reads the fixed PAM form the suite uses: P7, WIDTH, HEIGHT, DEPTH 4, MAXVAL 255, TUPLTYPE RGB_ALPHA.
Image ReadPam(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    std::string text(bytes.begin(), bytes.end());
    const std::string end = "ENDHDR\n";
    size_t body = text.find(end);
    Image image;
    if (text.compare(0, 3, "P7\n") != 0 || body == std::string::npos)
        return image;
    std::istringstream header(text.substr(3, body - 3));
    for (std::string key, value; header >> key >> value;) {
        if (key == "WIDTH")
            image.width = std::stoi(value);
        else if (key == "HEIGHT")
            image.height = std::stoi(value);
        else if ((key == "DEPTH" && value != "4") || (key == "MAXVAL" && value != "255"))
            return {};
    }
    image.rgba.assign(bytes.begin() + long(body + end.size()), bytes.end());
    if (image.rgba.size() != size_t(image.width) * size_t(image.height) * 4)
        return {};
    return image;
}

// Pixels that differ by more than `tolerance` in some channel; colour is ignored where both alphas are 0.
// A size mismatch counts every pixel.
size_t Mismatches(const Image& got, const Image& want, int tolerance) {
    if (got.width != want.width || got.height != want.height || got.rgba.size() != want.rgba.size())
        return size_t(want.width) * size_t(want.height) + 1;
    size_t bad = 0;
    for (size_t i = 0; i < got.rgba.size(); i += 4) {
        const uint8_t* a = &got.rgba[i];
        const uint8_t* b = &want.rgba[i];
        const int first = a[3] == 0 && b[3] == 0 ? 3 : 0;
        for (int c = first; c < 4; c++) {
            if (std::abs(a[c] - b[c]) > tolerance) {
                bad++;
                break;
            }
        }
    }
    return bad;
}

struct Outcome {
    bool decoded = false;
    Error error = Error::BadData;
    Image image;
};

Outcome DecodeRow(const Row& row) {
    std::vector<uint8_t> file = ReadBytes(kSuite + "/" + row.set + "/" + row.file);
    EXPECT_FALSE(file.empty()) << "missing " << row.Name();
    Result<Picture> picture = Decode(file.data(), file.size());
    Outcome outcome;
    if (!picture) {
        outcome.error = picture.error();
        return outcome;
    }
    outcome.decoded = true;
    outcome.image = Image{picture->layout.width, picture->layout.height, ToRgba(*picture)};
    return outcome;
}

// Whether the decoded image matches the main reference or one of the alternatives.
bool MatchesAny(const Row& row, const Image& image, int tolerance) {
    std::vector<std::string> refs = row.alts;
    refs.insert(refs.begin(), row.ref);
    for (const std::string& ref : refs) {
        Image want = ReadPam(kSuite + "/" + ref);
        EXPECT_FALSE(want.rgba.empty()) << "unreadable " << ref;
        if (Mismatches(image, want, tolerance) == 0)
            return true;
    }
    return false;
}

std::vector<Row> RowsOf(const std::string& set) {
    std::vector<Row> rows;
    for (const Row& row : ReadIndex())
        if (row.set == set)
            rows.push_back(row);
    return rows;
}

TEST(BmpSuite, GoodFilesMatchTheirReferencesExactly) {
    std::vector<Row> rows = RowsOf("g");
    ASSERT_EQ(rows.size(), 27u) << "INDEX.tsv not found or changed under " << kSuite;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name());
        Outcome outcome = DecodeRow(row);
        ASSERT_TRUE(outcome.decoded) << Describe(outcome.error);
        EXPECT_EQ(Mismatches(outcome.image, ReadPam(kSuite + "/" + row.ref), 0), 0u);
    }
}

// A questionable file may be refused; if it is decoded, it must match one of its references. The only
// ones refused are the forms this reader leaves out on purpose.
TEST(BmpSuite, QuestionableFilesAreRefusedOrMatch) {
    std::vector<Row> rows = RowsOf("q");
    ASSERT_EQ(rows.size(), 43u);
    std::set<std::string> refused;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name());
        Outcome outcome = DecodeRow(row);
        if (!outcome.decoded) {
            EXPECT_EQ(outcome.error, Error::Unsupported) << Describe(outcome.error);
            refused.insert(row.file);
            continue;
        }
        if (row.tolerance == "loose") {
            Image want = ReadPam(kSuite + "/" + row.ref);
            EXPECT_EQ(outcome.image.width, want.width);
            EXPECT_EQ(outcome.image.height, want.height);
            continue;
        }
        ASSERT_TRUE(row.tolerance == "0" || row.tolerance == "1") << "no numeric tolerance";
        EXPECT_TRUE(MatchesAny(row, outcome.image, std::stoi(row.tolerance)));
    }
    const std::set<std::string> leftOut = {"pal1huffmsb.bmp", "rgb24jpeg.bmp", "rgb24png.bmp", "rgb24rle24.bmp"};
    EXPECT_EQ(refused, leftOut);
    std::printf("[  TALLY   ] q: %zu decoded and matching, %zu refused\n", rows.size() - refused.size(),
                refused.size());
}

// Bad files must not crash (ASan/UBSan watch the reads and writes). Those with one harmless absurd field
// decode to the picture the suite names; so does pal8badindex, whose out-of-table indices show as the
// black padding of the colour table (spotting them would cost a pass over every direct-loaded pixel).
TEST(BmpSuite, BadFilesAreRefusedOrDecodeSafely) {
    std::vector<Row> rows = RowsOf("b");
    ASSERT_EQ(rows.size(), 20u);
    std::set<std::string> decoded;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name());
        Outcome outcome = DecodeRow(row);
        if (!outcome.decoded)
            continue;
        decoded.insert(row.file);
        if (row.expect == "reject|decode") {
            std::string ref = row.ref.empty() ? "ref/pal1.pam" : row.ref;
            EXPECT_EQ(Mismatches(outcome.image, ReadPam(kSuite + "/" + ref), 0), 0u);
        }
    }
    const std::set<std::string> lenient = {"badbitssize.bmp", "baddens1.bmp",  "baddens2.bmp",
                                           "badfilesize.bmp", "rgb16-880.bmp", "pal8badindex.bmp"};
    EXPECT_EQ(decoded, lenient);
    std::printf("[  TALLY   ] b: %zu refused, %zu decoded safely\n", rows.size() - decoded.size(), decoded.size());
}

}  // namespace
}  // namespace velmo::bmp
