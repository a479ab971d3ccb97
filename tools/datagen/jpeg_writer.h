#ifndef DATAGEN_JPEG_WRITER_H
#define DATAGEN_JPEG_WRITER_H

#include <vector>

// A baseline JPEG (JFIF, three components, no subsampling, the standard
// Huffman tables, quantisation tables scaled to quality 1..100) of width x
// height pixels given as R, G, B, A bytes (alpha ignored), rows from the top.
// Pure integer and float arithmetic in a fixed order: equal pixels give
// equal files.
std::vector<unsigned char> EncodeJpeg(int width, int height, const std::vector<unsigned char>& rgba,
                                      int quality);

#endif
