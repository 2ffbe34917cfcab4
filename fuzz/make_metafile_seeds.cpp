// Writes a small WMF and a small EMF into a folder as seeds for fuzz_metafile: each uses the
// records mail's pictures use most (objects, shapes, text and a bitmap).
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 2 x 2 24-bit DIB: its header and its rows, bottom row first.
Bytes Dib() {
    Bytes dib;
    for (uint32_t value : {40u, 2u, 2u})
        Put(dib, value, 4);
    Put(dib, 1, 2);
    Put(dib, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(dib, 0, 4);
    for (uint32_t pixel : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu}) {
        Put(dib, pixel, 3);
        if (pixel == 0x00FF00u || pixel == 0xFFFFFFu)
            Put(dib, 0, 2);
    }
    return dib;
}

void WmfRecord(Bytes& out, uint16_t function, std::initializer_list<int> words,
               const Bytes& tail = {}) {
    Put(out, static_cast<uint32_t>(3 + words.size() + tail.size() / 2), 4);
    Put(out, function, 2);
    for (int word : words)
        Put(out, static_cast<uint32_t>(word), 2);
    out.insert(out.end(), tail.begin(), tail.end());
}

Bytes Wmf() {
    Bytes wmf;
    Put(wmf, 0x9AC6CDD7, 4);
    for (int word : {0, 0, 0, 100, 100, 96, 0, 0, 0})
        Put(wmf, static_cast<uint32_t>(word), 2);
    for (int word : {1, 9, 0x300, 0, 0, 4, 0, 0, 0})
        Put(wmf, static_cast<uint32_t>(word), 2);
    WmfRecord(wmf, 0x020B, {0, 0});                                   // SetWindowOrg
    WmfRecord(wmf, 0x020C, {100, 100});                               // SetWindowExt
    WmfRecord(wmf, 0x02FC, {0, 0x00FF, 0, 0});                        // CreateBrushIndirect
    WmfRecord(wmf, 0x012D, {0});                                      // SelectObject
    WmfRecord(wmf, 0x02FA, {0, 2, 0, 0, 0});                          // CreatePenIndirect
    WmfRecord(wmf, 0x012D, {1});                                      // SelectObject
    WmfRecord(wmf, 0x041B, {50, 50, 0, 0});                           // Rectangle
    WmfRecord(wmf, 0x0418, {100, 100, 50, 50});                       // Ellipse
    WmfRecord(wmf, 0x0214, {10, 90});                                 // MoveTo
    WmfRecord(wmf, 0x0213, {90, 10});                                 // LineTo
    WmfRecord(wmf, 0x0324, {3, 10, 60, 40, 60, 25, 90});              // Polygon
    WmfRecord(wmf, 0x02FB, {-12, 0, 0, 0, 400, 0, 0, 0, 0x4141, 0});  // CreateFontIndirect "AA"
    WmfRecord(wmf, 0x012D, {2});                                      // SelectObject
    WmfRecord(wmf, 0x0521, {2, 0x6948, 40, 5});                       // TextOut "Hi"
    WmfRecord(wmf, 0x001E, {});                                       // SaveDC
    WmfRecord(wmf, 0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 40, 40, 55, 5}, Dib());
    WmfRecord(wmf, 0x0127, {0xFFFF});  // RestoreDC
    WmfRecord(wmf, 0x01F0, {0});       // DeleteObject
    WmfRecord(wmf, 0, {});
    return wmf;
}

void EmfRecord(Bytes& out, uint32_t type, std::initializer_list<uint32_t> values,
               const Bytes& tail = {}) {
    Put(out, type, 4);
    Put(out, static_cast<uint32_t>(8 + 4 * values.size() + tail.size()), 4);
    for (uint32_t value : values)
        Put(out, value, 4);
    out.insert(out.end(), tail.begin(), tail.end());
}

Bytes Emf() {
    Bytes records;
    EmfRecord(records, 9, {100, 100});            // SETWINDOWEXTEX
    EmfRecord(records, 39, {1, 0, 0x0000FF, 0});  // CREATEBRUSHINDIRECT
    EmfRecord(records, 37, {1});                  // SELECTOBJECT
    EmfRecord(records, 43, {0, 0, 50, 50});       // RECTANGLE
    EmfRecord(records, 42, {50, 50, 100, 100});   // ELLIPSE
    EmfRecord(records, 27, {10, 90});             // MOVETOEX
    EmfRecord(records, 54, {90, 10});             // LINETO
    EmfRecord(records, 33, {});                   // SAVEDC
    const Bytes dib = Dib();
    const uint32_t header = 8 + 4 * 18;
    EmfRecord(records, 81,  // STRETCHDIBITS
              {0, 0, 100, 100, 50, 50, 0, 0, 2, 2, header, 40, header + 40,
               static_cast<uint32_t>(dib.size() - 40), 0, 0x00CC0020, 50, 50},
              dib);
    EmfRecord(records, 34, {0xFFFFFFFF});  // RESTOREDC
    EmfRecord(records, 40, {1});           // DELETEOBJECT
    EmfRecord(records, 14, {0, 0, 20});    // EOF

    Bytes emf;
    const uint32_t headerSize = 88;
    Put(emf, 1, 4);
    Put(emf, headerSize, 4);
    for (uint32_t value : {0u, 0u, 100u, 100u, 0u, 0u, 2645u, 2645u})
        Put(emf, value, 4);
    Put(emf, 0x464D4520, 4);
    Put(emf, 0x10000, 4);
    Put(emf, static_cast<uint32_t>(headerSize + records.size()), 4);
    Put(emf, 13, 4);  // records
    Put(emf, 2, 2);   // handles
    Put(emf, 0, 2);
    for (uint32_t value : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        Put(emf, value, 4);
    emf.insert(emf.end(), records.begin(), records.end());
    return emf;
}

bool Write(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_metafile_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    return Write(dir + "/shapes.wmf", Wmf()) && Write(dir + "/shapes.emf", Emf()) ? 0 : 1;
}
