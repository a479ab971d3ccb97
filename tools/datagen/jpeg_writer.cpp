// Baseline JPEG encoding: colour conversion, 8x8 DCT, quantisation, zig-zag
// and Huffman coding with the example tables of the JPEG standard.
#include "tools/datagen/jpeg_writer.h"

#include <cmath>

namespace {

const unsigned char ZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18,
                                  11, 4,  5,  12, 19, 26, 33, 40, 48, 41, 34, 27, 20,
                                  13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43,
                                  36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45,
                                  38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

const unsigned char LumaQuant[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,
                                     58, 60, 55, 14, 13, 16, 24, 40,  57,  69,  56,  14, 17,
                                     22, 29, 51, 87, 80, 62, 18, 22, 37,  56,  68,  109, 103,
                                     77, 24, 35, 55, 64, 81, 104, 113, 92,  49, 64, 78, 87,
                                     103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const unsigned char ChromaQuant[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99,
                                       99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99, 47, 66,
                                       99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                       99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                       99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

const unsigned char DcLumaBits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
const unsigned char DcChromaBits[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
const unsigned char DcValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const unsigned char AcLumaBits[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
const unsigned char AcLumaValues[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
    0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52,
    0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
    0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45,
    0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
    0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
    0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6,
    0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3,
    0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8,
    0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
const unsigned char AcChromaBits[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
const unsigned char AcChromaValues[162] = {
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
    0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33,
    0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18,
    0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44,
    0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63,
    0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
    0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
    0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4,
    0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
    0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
    0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

// Code and length per symbol, from the counts per length.
struct HuffmanTable {
    unsigned short code[256] = {};
    unsigned char length[256] = {};

    HuffmanTable(const unsigned char bits[16], const unsigned char* values) {
        unsigned c = 0;
        int k = 0;
        for (int len = 1; len <= 16; len++) {
            for (int i = 0; i < bits[len - 1]; i++, k++) {
                code[values[k]] = (unsigned short)c++;
                length[values[k]] = (unsigned char)len;
            }
            c <<= 1;
        }
    }
};

class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out(out) {}
    void Put(unsigned value, int count) {
        for (int i = count - 1; i >= 0; i--) {
            buffer = (buffer << 1) | ((value >> i) & 1);
            if (++filled == 8) {
                Byte();
            }
        }
    }
    void Flush() {
        while (filled != 0)
            Put(1, 1);   // pad with ones
    }

private:
    void Byte() {
        out.push_back((unsigned char)buffer);
        if (buffer == 0xFF)
            out.push_back(0);   // stuffing
        buffer = 0;
        filled = 0;
    }
    std::vector<unsigned char>& out;
    unsigned buffer = 0;
    int filled = 0;
};

void Marker(std::vector<unsigned char>& out, unsigned char m, int length) {
    out.push_back(0xFF);
    out.push_back(m);
    out.push_back((unsigned char)(length >> 8));
    out.push_back((unsigned char)length);
}

// Bits of a value in the JPEG sense and its coded form.
int Category(int v) {
    int a = v < 0 ? -v : v, n = 0;
    while (a) {
        n++;
        a >>= 1;
    }
    return n;
}

void EncodeBlock(BitWriter& bits, const float block[64], const unsigned char quant[64], int& lastDc,
                 const HuffmanTable& dc, const HuffmanTable& ac) {
    float coefficient[64];
    for (int v = 0; v < 8; v++) {
        for (int u = 0; u < 8; u++) {
            double sum = 0.0;
            for (int y = 0; y < 8; y++)
                for (int x = 0; x < 8; x++)
                    sum += block[y * 8 + x] * std::cos((2 * x + 1) * u * M_PI / 16.0) *
                           std::cos((2 * y + 1) * v * M_PI / 16.0);
            double cu = u == 0 ? M_SQRT1_2 : 1.0, cv = v == 0 ? M_SQRT1_2 : 1.0;
            coefficient[v * 8 + u] = (float)(0.25 * cu * cv * sum);
        }
    }
    int q[64];
    for (int i = 0; i < 64; i++) {
        int at = ZigZag[i];
        q[i] = (int)std::lround(coefficient[at] / quant[i]);
    }
    int diff = q[0] - lastDc;
    lastDc = q[0];
    int n = Category(diff);
    bits.Put(dc.code[n], dc.length[n]);
    bits.Put(diff < 0 ? (unsigned)(diff - 1) & ((1u << n) - 1) : (unsigned)diff, n);
    int run = 0;
    for (int i = 1; i < 64; i++) {
        if (q[i] == 0) {
            run++;
            continue;
        }
        while (run > 15) {
            bits.Put(ac.code[0xF0], ac.length[0xF0]);
            run -= 16;
        }
        int size = Category(q[i]);
        int symbol = (run << 4) | size;
        bits.Put(ac.code[symbol], ac.length[symbol]);
        bits.Put(q[i] < 0 ? (unsigned)(q[i] - 1) & ((1u << size) - 1) : (unsigned)q[i], size);
        run = 0;
    }
    if (run > 0)
        bits.Put(ac.code[0], ac.length[0]);
}

}  // namespace

std::vector<unsigned char> EncodeJpeg(int width, int height, const std::vector<unsigned char>& rgba,
                                      int quality) {
    std::vector<unsigned char> out = {0xFF, 0xD8};
    Marker(out, 0xE0, 16);
    const unsigned char jfif[] = {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    out.insert(out.end(), jfif, jfif + sizeof jfif);

    int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    unsigned char quant[2][64];   // zig-zag order
    for (int i = 0; i < 64; i++) {
        int base[2] = {LumaQuant[ZigZag[i]], ChromaQuant[ZigZag[i]]};
        for (int t = 0; t < 2; t++) {
            int v = (base[t] * scale + 50) / 100;
            quant[t][i] = (unsigned char)(v < 1 ? 1 : v > 255 ? 255 : v);
        }
    }
    Marker(out, 0xDB, 2 + 2 * 65);
    for (int t = 0; t < 2; t++) {
        out.push_back((unsigned char)t);
        out.insert(out.end(), quant[t], quant[t] + 64);
    }
    Marker(out, 0xC0, 17);
    const unsigned char frame[] = {8, (unsigned char)(height >> 8), (unsigned char)height,
                                   (unsigned char)(width >> 8), (unsigned char)width, 3,
                                   1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1};
    out.insert(out.end(), frame, frame + sizeof frame);
    struct {
        int id;
        const unsigned char* bits;
        const unsigned char* values;
        int count;
    } tables[4] = {{0x00, DcLumaBits, DcValues, 12},
                   {0x10, AcLumaBits, AcLumaValues, 162},
                   {0x01, DcChromaBits, DcValues, 12},
                   {0x11, AcChromaBits, AcChromaValues, 162}};
    int length = 2;
    for (auto& t : tables)
        length += 17 + t.count;
    Marker(out, 0xC4, length);
    for (auto& t : tables) {
        out.push_back((unsigned char)t.id);
        out.insert(out.end(), t.bits, t.bits + 16);
        out.insert(out.end(), t.values, t.values + t.count);
    }
    Marker(out, 0xDA, 12);
    const unsigned char scan[] = {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
    out.insert(out.end(), scan, scan + sizeof scan);

    HuffmanTable dcLuma(DcLumaBits, DcValues), acLuma(AcLumaBits, AcLumaValues);
    HuffmanTable dcChroma(DcChromaBits, DcValues), acChroma(AcChromaBits, AcChromaValues);
    BitWriter bits(out);
    int lastDc[3] = {0, 0, 0};
    for (int by = 0; by < height; by += 8) {
        for (int bx = 0; bx < width; bx += 8) {
            float block[3][64];
            for (int y = 0; y < 8; y++) {
                for (int x = 0; x < 8; x++) {
                    int px = bx + x < width ? bx + x : width - 1;
                    int py = by + y < height ? by + y : height - 1;
                    const unsigned char* p = &rgba[((size_t)py * width + px) * 4];
                    float r = p[0], g = p[1], b = p[2];
                    block[0][y * 8 + x] = 0.299f * r + 0.587f * g + 0.114f * b - 128.0f;
                    block[1][y * 8 + x] = -0.168736f * r - 0.331264f * g + 0.5f * b;
                    block[2][y * 8 + x] = 0.5f * r - 0.418688f * g - 0.081312f * b;
                }
            }
            EncodeBlock(bits, block[0], quant[0], lastDc[0], dcLuma, acLuma);
            EncodeBlock(bits, block[1], quant[1], lastDc[1], dcChroma, acChroma);
            EncodeBlock(bits, block[2], quant[1], lastDc[2], dcChroma, acChroma);
        }
    }
    bits.Flush();
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}
