// Pictures of every kind RTF carries: bitmaps decoded to their pixels, metafiles and damaged
// data shown as a box of their size with the word "picture", sizes from the goal and scale
// words, limits on forged sizes, and saving each kind back as RTF.
#include "body/picture_placeholder.h"
#include "body/rtf/bitmap_decoding.h"
#include "body/rtf/rtf_writer.h"

#include "body_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QTextImageFormat>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parcelo::test {
namespace {

std::string Body(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\plain a" + body + "b}";
}

std::string Hex(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}

void PutLe(QByteArray& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A packed DIB with a BITMAPINFOHEADER: `rows` bottom row first, each already padded.
QByteArray Dib(int width, int height, int bitsPerPixel, const std::vector<QRgb>& palette,
               const QByteArray& rows) {
    QByteArray dib;
    PutLe(dib, 40, 4);
    PutLe(dib, static_cast<uint32_t>(width), 4);
    PutLe(dib, static_cast<uint32_t>(height), 4);
    PutLe(dib, 1, 2);
    PutLe(dib, static_cast<uint32_t>(bitsPerPixel), 2);
    PutLe(dib, 0, 4);  // BI_RGB
    PutLe(dib, static_cast<uint32_t>(rows.size()), 4);
    PutLe(dib, 2835, 4);
    PutLe(dib, 2835, 4);
    PutLe(dib, static_cast<uint32_t>(palette.size()), 4);
    PutLe(dib, 0, 4);
    for (QRgb color : palette) {
        dib.append(static_cast<char>(qBlue(color)));
        dib.append(static_cast<char>(qGreen(color)));
        dib.append(static_cast<char>(qRed(color)));
        dib.append('\0');
    }
    return dib + rows;
}

// 2 x 2, 24 bits: bottom row blue, green; top row red, white.
const QByteArray kDib24 = Dib(2, 2, 24, {},
                              QByteArray::fromHex("ff0000"
                                                  "00ff00"
                                                  "0000"
                                                  "0000ff"
                                                  "ffffff"
                                                  "0000"));

std::vector<QTextImageFormat> ImagesOf(const QTextDocument& document) {
    std::vector<QTextImageFormat> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back(it.fragment().charFormat().toImageFormat());
    return images;
}

QImage ImageOf(const QTextDocument& document, const QTextImageFormat& format) {
    return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

// The one picture of a body, with its image.
struct Shown {
    std::unique_ptr<QTextDocument> document;
    QTextImageFormat format;
    QImage image;
    bool placeholder = false;
};

Shown ShowOne(const std::string& rtf) {
    Shown shown{Read(rtf), {}, {}, false};
    const auto images = ImagesOf(*shown.document);
    EXPECT_EQ(images.size(), 1u);
    if (images.size() == 1) {
        shown.format = images[0];
        shown.image = ImageOf(*shown.document, images[0]);
        shown.placeholder = images[0].stringProperty(QTextFormat::ImageAltText) == kPictureWord;
    }
    return shown;
}

TEST(Pictures, DeviceIndependentBitmapsShowTheirPixels) {
    const Shown shown = ShowOne(
        Body("{\\pict\\dibitmap0\\picw2\\pich2\\picwgoal300\\pichgoal300 " + Hex(kDib24) + "}"));
    ASSERT_FALSE(shown.image.isNull());
    EXPECT_FALSE(shown.placeholder);
    EXPECT_EQ(shown.image.size(), QSize(2, 2));
    EXPECT_EQ(shown.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.image.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(shown.image.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_DOUBLE_EQ(shown.format.width(), 20);
    EXPECT_DOUBLE_EQ(shown.format.height(), 20);
}

TEST(Pictures, PalettedAndCoreHeaderBitmaps) {
    // 3 x 1, 8 bits with a palette of two colours, shown at double width.
    const QByteArray paletted =
        Dib(3, 1, 8, {qRgb(10, 20, 30), qRgb(200, 100, 50)}, QByteArray::fromHex("01000100"));
    Shown shown = ShowOne(Body("{\\pict\\dibitmap0\\picscalex200 " + Hex(paletted) + "}"));
    ASSERT_FALSE(shown.image.isNull());
    EXPECT_EQ(shown.image.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(shown.image.pixel(1, 0), qRgb(10, 20, 30));
    EXPECT_DOUBLE_EQ(shown.format.width(), 6);
    EXPECT_DOUBLE_EQ(shown.format.height(), 1);

    // The OS/2 header: 12 bytes, a palette of three-byte entries; 1 bit, 9 x 1.
    QByteArray core;
    PutLe(core, 12, 4);
    PutLe(core, 9, 2);
    PutLe(core, 1, 2);
    PutLe(core, 1, 2);
    PutLe(core, 1, 2);
    core += QByteArray::fromHex(
        "000000"
        "ffffff"
        "80800000");
    shown = ShowOne(Body("{\\pict\\dibitmap " + Hex(core) + "}"));
    ASSERT_FALSE(shown.image.isNull());
    EXPECT_EQ(shown.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.image.pixel(8, 0), qRgb(255, 255, 255));
}

struct DeviceBitmapCase {
    const char* name;
    std::string header;  // the \wbitmap words
    const char* hex;
    QSize size;
    std::vector<QRgb> firstRow;
};

class DeviceBitmapTest : public testing::TestWithParam<DeviceBitmapCase> {};

TEST_P(DeviceBitmapTest, DecodesRowsTopFirst) {
    const Shown shown =
        ShowOne(Body("{\\pict\\wbitmap0" + GetParam().header + " " + GetParam().hex + "}"));
    ASSERT_FALSE(shown.image.isNull());
    EXPECT_FALSE(shown.placeholder);
    EXPECT_EQ(shown.image.size(), GetParam().size);
    for (size_t x = 0; x < GetParam().firstRow.size(); ++x)
        EXPECT_EQ(shown.image.pixel(static_cast<int>(x), 0), GetParam().firstRow[x]) << x;
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, DeviceBitmapTest,
    testing::Values(
        // Rows padded to 16 bits when \wbmwidthbytes is missing; a set bit is white.
        DeviceBitmapCase{
            "monochrome",
            "\\picw10\\pich2\\wbmbitspixel1\\wbmplanes1",
            "8040ffc0",
            {10, 2},
            {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0),
             qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)}},
        DeviceBitmapCase{"sixteen_colours",
                         "\\picw2\\pich1\\wbmbitspixel4\\wbmplanes1\\wbmwidthbytes2",
                         "9c00",
                         {2, 1},
                         {qRgb(255, 0, 0), qRgb(0, 0, 255)}},
        DeviceBitmapCase{"true_colour_blue_green_red",
                         "\\picw2\\pich1\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes6",
                         "0000ff00ff00",
                         {2, 1},
                         {qRgb(255, 0, 0), qRgb(0, 255, 0)}},
        DeviceBitmapCase{"thirty_two_bits_unused_byte",
                         "\\picw1\\pich1\\wbmbitspixel32\\wbmplanes1\\wbmwidthbytes4",
                         "ff000000",
                         {1, 1},
                         {qRgb(0, 0, 255)}}),
    CaseName());

struct PlaceholderCase {
    const char* name;
    std::string picture;
    QSizeF size;
    bool keepsData;
};

class PlaceholderTest : public testing::TestWithParam<PlaceholderCase> {};

TEST_P(PlaceholderTest, FramedBoxOfThePicturesSize) {
    const Shown shown = ShowOne(Body(GetParam().picture));
    EXPECT_TRUE(shown.placeholder);
    EXPECT_DOUBLE_EQ(shown.format.width(), GetParam().size.width());
    EXPECT_DOUBLE_EQ(shown.format.height(), GetParam().size.height());
    ASSERT_FALSE(shown.image.isNull());
    EXPECT_EQ(shown.image.size(), GetParam().size.toSize());
    // The frame is drawn, the middle holds the word in a darker colour than the white box.
    EXPECT_NE(shown.image.pixel(0, 0), qRgb(255, 255, 255));
    int dark = 0;
    for (int x = 0; x < shown.image.width(); ++x)
        dark += qGray(shown.image.pixel(x, shown.image.height() / 2)) < 128;
    EXPECT_GT(dark, 2);
    EXPECT_EQ(shown.format.hasProperty(kPictureDataProperty), GetParam().keepsData);
    EXPECT_EQ(TextOf(Body(GetParam().picture)).toStdString(), "ab");
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, PlaceholderTest,
    testing::Values(
        PlaceholderCase{"metafile_goal_size",
                        "{\\pict\\wmetafile8\\picw2540\\pich2540\\picwgoal1800\\pichgoal900 "
                        "0100090000035a00000000000000}",
                        {120, 60},
                        true},
        PlaceholderCase{"metafile_scaled",
                        "{\\pict\\wmetafile8\\picwgoal1800\\pichgoal900\\picscalex50"
                        "\\picscaley200 010009000003}",
                        {60, 120},
                        true},
        PlaceholderCase{"metafile_size_in_hundredths_of_millimetres",
                        "{\\pict\\emfblip\\picw5080\\pich2540 0100000000}",
                        {192, 96},
                        true},
        PlaceholderCase{
            "damaged_png", "{\\pict\\pngblip\\picwgoal1500\\pichgoal750 00ff}", {100, 50}, true},
        PlaceholderCase{
            "mac_picture", "{\\pict\\macpict\\picwgoal1200\\pichgoal600 0011}", {80, 40}, true},
        PlaceholderCase{
            "size_without_data", "{\\pict\\picwgoal1440\\pichgoal720}", {96, 48}, false},
        PlaceholderCase{"no_size_at_all", "{\\pict\\wmetafile8 0100}", {96, 96}, true}),
    CaseName());

TEST(Pictures, BodyCutOffInsideAPicture) {
    const Shown shown =
        ShowOne("{\\rtf1\\ansi a{\\pict\\dibitmap0\\picwgoal300\\pichgoal300 " + Hex(kDib24));
    EXPECT_EQ(shown.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_TRUE(
        ShowOne("{\\rtf1\\ansi a{\\pict\\wmetafile8\\picwgoal300\\pichgoal300 0100").placeholder);
}

TEST(Pictures, ShapePictureShownWithoutItsMetafileTwin) {
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    const Shown shown = ShowOne(Body("{\\*\\shppict{\\pict\\pngblip " + Hex(png) +
                                     "}}{\\nonshppict{\\pict\\wmetafile8 0100090000}}"));
    EXPECT_FALSE(shown.placeholder);
    EXPECT_EQ(shown.image.size(), QSize(4, 3));
}

// A WMF record: its size in 16-bit words, its function and its parameters.
void WmfRecord(QByteArray& out, uint16_t function, const std::vector<int>& words,
               const QByteArray& tail = {}) {
    PutLe(out, static_cast<uint32_t>(3 + words.size() + tail.size() / 2), 4);
    PutLe(out, function, 2);
    for (int word : words)
        PutLe(out, static_cast<uint32_t>(word), 2);
    out += tail;
}

// Smooth stretching blends a pixel's neighbours in a little.
bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

TEST(Pictures, MetafilesAreDrawn) {
    // A placeable 100 x 100 WMF at 96 units an inch: a red rectangle on the left half, the
    // 2 x 2 bitmap stretched over the right.
    QByteArray wmf;
    PutLe(wmf, 0x9AC6CDD7, 4);
    for (int word : {0, 0, 0, 100, 100, 96, 0, 0, 0})
        PutLe(wmf, static_cast<uint32_t>(word), 2);
    for (int word : {1, 9, 0x300, 0, 0, 1, 0, 0, 0})
        PutLe(wmf, static_cast<uint32_t>(word), 2);
    WmfRecord(wmf, 0x02FC, {0, 0x00FF, 0, 0});  // CreateBrushIndirect, solid red
    WmfRecord(wmf, 0x012D, {0});                // SelectObject
    WmfRecord(wmf, 0x041B, {100, 50, 0, 0});    // Rectangle
    WmfRecord(wmf, 0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 50, 0, 50}, kDib24);
    WmfRecord(wmf, 0, {});
    const Shown shown = ShowOne(Body("{\\pict\\wmetafile8 " + Hex(wmf) + "}"));
    ASSERT_FALSE(shown.placeholder);
    EXPECT_EQ(shown.format.width(), 100);
    EXPECT_TRUE(Near(shown.image.pixel(50, 100), qRgb(255, 0, 0))) << 50 << ',' << 100;
    EXPECT_TRUE(Near(shown.image.pixel(125, 50), qRgb(255, 0, 0))) << 125 << ',' << 50;
    EXPECT_TRUE(Near(shown.image.pixel(175, 50), qRgb(255, 255, 255))) << 175 << ',' << 50;
    EXPECT_TRUE(Near(shown.image.pixel(125, 150), qRgb(0, 0, 255))) << 125 << ',' << 150;
    EXPECT_TRUE(Near(shown.image.pixel(175, 150), qRgb(0, 255, 0))) << 175 << ',' << 150;
    // Cut off after its first records, it draws nothing and stays a box.
    EXPECT_TRUE(ShowOne(Body("{\\pict\\wmetafile8 " + Hex(wmf.left(60)) + "}")).placeholder);

    // The same left half as an EMF of 100 x 100 device pixels, red through a brush of its own.
    QByteArray records;
    const auto emfRecord = [&records](uint32_t type, std::initializer_list<uint32_t> values) {
        PutLe(records, type, 4);
        PutLe(records, static_cast<uint32_t>(8 + 4 * values.size()), 4);
        for (const uint32_t value : values)
            PutLe(records, value, 4);
    };
    emfRecord(39, {1, 0, 0x0000FF, 0});  // CreateBrushIndirect, solid red
    emfRecord(37, {1});                  // SelectObject
    emfRecord(43, {0, 0, 50, 100});      // Rectangle
    emfRecord(14, {0, 0, 20});           // EOF
    QByteArray emf;
    PutLe(emf, 1, 4);
    PutLe(emf, 88, 4);
    for (const uint32_t value : {0u, 0u, 99u, 99u, 0u, 0u, 2645u, 2645u, 0x464D4520u, 0x10000u})
        PutLe(emf, value, 4);
    PutLe(emf, static_cast<uint32_t>(88 + records.size()), 4);
    PutLe(emf, 5, 4);  // records
    PutLe(emf, 2, 2);  // handles
    PutLe(emf, 0, 2);
    for (const uint32_t value : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        PutLe(emf, value, 4);
    emf += records;
    const Shown drawn = ShowOne(Body("{\\pict\\emfblip " + Hex(emf) + "}"));
    ASSERT_FALSE(drawn.placeholder);
    const QSize size = drawn.image.size();
    EXPECT_TRUE(Near(drawn.image.pixel(size.width() / 4, size.height() / 2), qRgb(255, 0, 0)));
    EXPECT_TRUE(
        Near(drawn.image.pixel(size.width() * 3 / 4, size.height() / 2), qRgb(255, 255, 255)));
}

TEST(Pictures, ForgedSizesAreNotDecoded) {
    // Each claims 100000 x 100000 pixels with a few bytes of data.
    QByteArray hugeDib = Dib(1, 1, 24, {}, QByteArray(4, '\0'));
    hugeDib.replace(4, 8, QByteArray::fromHex("a0860100a0860100"));
    for (const std::string& picture :
         {"{\\pict\\dibitmap0\\picwgoal600\\pichgoal600 " + Hex(hugeDib) + "}",
          std::string("{\\pict\\wbitmap0\\picw100000\\pich100000\\wbmbitspixel32\\picwgoal600"
                      "\\pichgoal600 00000000}")}) {
        const Shown shown = ShowOne(Body(picture));
        EXPECT_TRUE(shown.placeholder) << picture;
        EXPECT_DOUBLE_EQ(shown.format.width(), 40);
    }
    // A header whose size fits, but not the limit given.
    QImage image(4, 3, QImage::Format_RGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    EXPECT_TRUE(ImageFromEncoded(png, "PNG", 11).isNull());
    EXPECT_FALSE(ImageFromEncoded(png, "PNG", 12).isNull());
    EXPECT_TRUE(ImageFromDib(kDib24, 3).isNull());
    EXPECT_FALSE(ImageFromDib(kDib24, 4).isNull());
    // Rows shorter than the header says.
    EXPECT_TRUE(ImageFromDib(kDib24.left(kDib24.size() - 1)).isNull());
    EXPECT_TRUE(ImageFromDeviceBitmap(QByteArray(3, '\0'), {2, 1, 24, 1, 6}).isNull());
}

TEST(Pictures, ABodysPicturesTogetherHaveALimit) {
    // Three different monochrome pictures of 25 million pixels each: the third is one too many.
    const int side = 5000;
    const std::string header = "{\\pict\\wbitmap0\\picw" + std::to_string(side) + "\\pich" +
                               std::to_string(side) + "\\wbmbitspixel1\\wbmwidthbytes" +
                               std::to_string(side / 8) + "\\bin" +
                               std::to_string(side / 8 * side) + " ";
    std::string body;
    for (char fill : {'\x01', '\x02', '\x03'})
        body += header + std::string(side / 8 * side, fill) + "}";
    const auto document = Read(Body(body));
    const auto images = ImagesOf(*document);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(ImageOf(*document, images[1]).size(), QSize(side, side));
    EXPECT_EQ(images[2].stringProperty(QTextFormat::ImageAltText), kPictureWord);
}

TEST(Pictures, SavedAsRtfTheyComeBackTheSame) {
    const std::string metafile = "0100090000035a0000000000";
    const std::string rtf =
        Body("{\\pict\\dibitmap0\\picwgoal300\\pichgoal300 " + Hex(kDib24) +
             "}{\\pict\\wmetafile8\\picw2540\\pich2540\\picwgoal1800\\pichgoal900 " + metafile +
             "}{\\pict\\picwgoal1440\\pichgoal720}");
    const auto document = Read(rtf);
    const QByteArray saved = RtfFromDocument(*document);
    // The metafile goes back as it came, the bitmap as PNG.
    EXPECT_TRUE(saved.contains("\\wmetafile8\\picw2540\\pich2540\\picwgoal1800\\pichgoal900"))
        << saved.toStdString();
    EXPECT_TRUE(saved.contains(QByteArray::fromStdString(metafile)));
    EXPECT_TRUE(saved.contains("\\pngblip"));

    const auto reread = Read(std::string_view(saved.constData(), saved.size()));
    const auto images = ImagesOf(*reread);
    ASSERT_EQ(images.size(), 3u);
    const QImage bitmap = ImageOf(*reread, images[0]);
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(bitmap.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_DOUBLE_EQ(images[0].width(), 20);
    EXPECT_EQ(images[1].stringProperty(QTextFormat::ImageAltText), kPictureWord);
    EXPECT_DOUBLE_EQ(images[1].width(), 120);
    EXPECT_DOUBLE_EQ(images[1].height(), 60);
    // The box without data is saved as the picture of itself, word and all.
    EXPECT_EQ(ImageOf(*reread, images[2]).convertToFormat(QImage::Format_RGB32),
              ImageOf(*document, ImagesOf(*document)[2]).convertToFormat(QImage::Format_RGB32));
    EXPECT_DOUBLE_EQ(images[2].width(), 96);
}

}  // namespace
}  // namespace parcelo::test
