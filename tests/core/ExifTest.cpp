#include "core/Exif.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmo::exif {
namespace {

using Bytes = std::vector<uint8_t>;

struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
};

void Put(Bytes& out, uint32_t value, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8_t(value >> 8 * (bigEndian ? bytes - 1 - i : i)));
}

// TIFF data with IFD0 at `ifd` (8 right after the header); a SHORT value in the first two bytes of its field.
Bytes Tiff(bool bigEndian, const std::vector<Entry>& entries, uint32_t ifd = 8) {
    Bytes out = {uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')};
    Put(out, 42, 2, bigEndian);
    Put(out, ifd, 4, bigEndian);
    Put(out, uint32_t(entries.size()), 2, bigEndian);
    for (const Entry& e : entries) {
        Put(out, e.tag, 2, bigEndian);
        Put(out, e.type, 2, bigEndian);
        Put(out, e.count, 4, bigEndian);
        Put(out, e.type == 3 ? e.value << (bigEndian ? 16 : 0) : e.value, 4, bigEndian);
    }
    Put(out, 0, 4, bigEndian);
    return out;
}

Bytes Segment(uint8_t marker, const Bytes& payload) {
    Bytes out = {0xFF, marker};
    Put(out, uint32_t(payload.size() + 2), 2, true);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes ExifPayload(const Bytes& tiff) {
    Bytes out = {'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

// SOI, the given segments, then the start of the image data.
Bytes Jpeg(const std::vector<Bytes>& segments) {
    Bytes out = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        out.insert(out.end(), s.begin(), s.end());
    const Bytes sos = Segment(0xDA, {1, 1, 0, 0, 63, 0});
    out.insert(out.end(), sos.begin(), sos.end());
    out.insert(out.end(), {0x12, 0x34, 0xFF, 0xD9});
    return out;
}

std::optional<int> FromJpeg(const Bytes& b) {
    return JpegOrientation(b.data(), b.size());
}

Bytes ReadFile(const std::string& name) {
    std::ifstream in(std::string(VELMO_PICTURES_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(Exif, OrientationFromJpeg) {
    const Entry make{0x010F, 2, 6, 0x40};
    const Bytes jfif = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const Bytes xmp = Segment(0xE1, {'h', 't', 't', 'p', ':', '/', '/', 0});
    const Bytes goodIi = Segment(0xE1, ExifPayload(Tiff(false, {make, {0x0112, 3, 1, 6}})));
    Bytes filled = Jpeg({jfif, goodIi});
    filled.insert(filled.begin() + 2 + long(jfif.size()), {0xFF, 0xFF});  // fill bytes before a marker
    Bytes cutIfd = Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 3}})))});
    cutIfd[2 + 2 + 2 + 6 + 8 + 1] = 4;  // IFD0 claims 1025 entries; the one inside the block is still read
    // The segment ends inside the orientation entry; the bytes after it belong to the image data.
    Bytes shortSegment = Jpeg({Segment(0xE1, ExifPayload(Tiff(true, {{0x0112, 3, 1, 5}})))});
    shortSegment[5] = uint8_t(2 + 6 + 8 + 2 + 6);
    struct Case {
        const char* what;
        Bytes file;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"II after another tag", Jpeg({goodIi}), 6},
        {"MM behind JFIF and XMP", Jpeg({jfif, xmp, Segment(0xE1, ExifPayload(Tiff(true, {{0x0112, 3, 1, 8}})))}), 8},
        {"fill bytes", filled, 6},
        {"every value", Jpeg({Segment(0xE1, ExifPayload(Tiff(true, {{0x0112, 3, 1, 1}})))}), 1},
        {"IFD0 later in the block", Jpeg({Segment(0xE1, ExifPayload([&] {
             Bytes t = Tiff(false, {{0x0112, 3, 1, 7}}, 12);
             t.insert(t.begin() + 8, 4, 0xEE);
             return t;
         }()))}),
         7},
        {"count larger than the block", cutIfd, 3},
        {"value 0", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 0}})))}), std::nullopt},
        {"value 9", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 9}})))}), std::nullopt},
        {"type LONG", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 4, 1, 6}})))}), std::nullopt},
        {"count 2", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 2, 6}})))}), std::nullopt},
        {"no orientation", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {make})))}), std::nullopt},
        {"IFD0 past the block", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 6}}, 4000)))}),
         std::nullopt},
        {"IFD0 inside the header", Jpeg({Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 6}}, 4)))}),
         std::nullopt},
        {"entry past the segment end", shortSegment, std::nullopt},
        {"magic 43", Jpeg({Segment(0xE1, ExifPayload([] {
             Bytes t = Tiff(false, {{0x0112, 3, 1, 6}});
             t[2] = 43;
             return t;
         }()))}),
         std::nullopt},
        {"byte order IM", Jpeg({Segment(0xE1, ExifPayload([] {
             Bytes t = Tiff(false, {{0x0112, 3, 1, 6}});
             t[1] = 'M';
             return t;
         }()))}),
         std::nullopt},
        {"Exif after SOS", [&] {
             Bytes f = Jpeg({});
             const Bytes exif = Segment(0xE1, ExifPayload(Tiff(false, {{0x0112, 3, 1, 6}})));
             f.insert(f.end() - 2, exif.begin(), exif.end());
             return f;
         }(),
         std::nullopt},
        {"no SOI", Bytes(goodIi), std::nullopt},
        {"segment length 1", Jpeg({{0xFF, 0xE0, 0, 1}, goodIi}), std::nullopt},
        {"segment longer than the file", Jpeg({{0xFF, 0xE0, 0xFF, 0xF0, 0}}), std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromJpeg(c.file), c.expected) << c.what;
}

TEST(Exif, AnyLeadingPartIsSafeAndKeepsTheValueOnceTheEntryIsIn) {
    const Bytes file = Jpeg({Segment(0xE1, ExifPayload(Tiff(true, {{0x0100, 4, 1, 8}, {0x0112, 3, 1, 6}})))});
    const size_t entryEnd = 2 + 4 + 6 + 8 + 2 + 2 * 12;
    for (size_t size = 0; size <= file.size(); size++) {
        // A copy of exactly `size` bytes, so that ASan sees any read past it.
        const Bytes part(file.begin(), file.begin() + long(size));
        EXPECT_EQ(FromJpeg(part), size >= entryEnd ? std::optional<int>(6) : std::nullopt) << size;
    }
}

TEST(Exif, TiffFilesAndOurFixtures) {
    const Bytes tiff = Tiff(true, {{0x0100, 4, 1, 16}, {0x0112, 3, 1, 2}});
    EXPECT_EQ(TiffOrientation(tiff.data(), tiff.size()), 2);
    EXPECT_EQ(TiffOrientation(tiff.data(), 7), std::nullopt);
    EXPECT_EQ(TiffOrientation(ReadFile("orient-8.tif").data(), ReadFile("orient-8.tif").size()), 8);
    EXPECT_EQ(FromJpeg(ReadFile("exif-ii-6.jpg")), 6);
    EXPECT_EQ(FromJpeg(ReadFile("exif-mm-8-after-xmp.jpg")), 8);
    EXPECT_EQ(FromJpeg(ReadFile("orient-8.tif")), std::nullopt);
}

}  // namespace
}  // namespace velmo::exif
