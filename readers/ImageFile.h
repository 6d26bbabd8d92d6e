#pragma once
// Image files a model's materials may name: TGA through our own reader, PNG, JPEG and BMP
// through stb_image. Decoding only, no OpenGL: the TextureLoader turns an image into a texture.

#include <cstdio>
#include <string>

#include "readers/TgaImage.h"

enum class ImageFormat { Tga, Png, Jpeg, Bmp };

// "TGA", "PNG", "JPEG" or "BMP".
const char* imageFormatName(ImageFormat format);

// Besides readTga's results: a PNG, JPEG or BMP file that cannot be decoded (damaged, an
// unsupported variant, or sides beyond kMaxDecodedSide).
constexpr int kImageUndecodable = 6;
// The largest side a decoded picture may have: as large as the textures of the contexts the
// plug-in meets can be, and at most 64 MB decoded. A file of a few hundred bytes can announce
// any size, so larger ones are refused before any pixel is decoded.
constexpr int kMaxDecodedSide = 4096;

// Reads the file at path into image as readTga does (red first, the bottom row first, three or
// four channels by whether the picture has alpha). The file's first bytes choose the decoder: the PNG,
// JPEG and BMP signatures go to stb_image (grey pictures become RGB), everything else to
// readTga, whose results it keeps. format tells which was chosen.
int readImageFile(const std::string& path, TgaImage& image, ImageFormat& format);

// The same from a stream open at its start (kTgaCannotOpen when it is null).
int readImageFile(std::FILE* stream, TgaImage& image, ImageFormat& format);
