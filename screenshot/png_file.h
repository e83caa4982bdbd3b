// png_file.h: the pure parts of saving a screenshot: turning the bottom-up
// RGBA frame into a top-down opaque image, encoding it as PNG, and writing
// the bytes under the first free "screenshot%d.png" without ever replacing
// or half-writing a file. Core library (no SDL, no GL).
#pragma once

#include <stddef.h>
#include <vector>

// Copies a width x height RGBA frame whose first row is the bottom of the
// window into out (the same size) with the first row at the top and every
// alpha byte 255.
void flipFrameToImage(const unsigned char* frame, int width, int height, unsigned char* out);

// Encodes an opaque RGBA image as PNG with the text chunk "Comment" =
// "Created with LodePNG". Returns false and leaves png empty when the encoder
// fails; an opaque image comes out as 8-bit RGB (colour type 2).
bool encodeScreenshotPng(const unsigned char* image, int width, int height,
                         std::vector<unsigned char>& png);

// Writes bytes to folder/"screenshot<n>.png" for the smallest n from 1 whose
// name is free, and returns n. The bytes go to a temporary file in the same
// folder first, are flushed to disk, and only then take the name, claimed so
// that a file of that name is never replaced, even one created by another
// program a moment earlier (the next number is tried instead). On any
// failure no file is left behind, one line on standard error says why, and 0
// is returned. An empty buffer counts as a failure.
int writeNumberedScreenshot(const char* folder, const unsigned char* bytes, size_t size);

// Why the last save failed, in a few words for the screen ("Permission
// denied", "PNG encoding failed"); set by every failure above, with its
// longer line on standard error.
const int SCREENSHOT_PROBLEM_SIZE = 48;
extern char screenshotProblem[SCREENSHOT_PROBLEM_SIZE];
