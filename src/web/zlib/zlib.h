#pragma once
// The part of zlib's interface that save files use, for the browser build: Emscripten's
// own zlib would be fetched at build time, and the page already carries fflate, which
// reads and writes the same zlib streams (zlib_fflate.cpp).
#include <cstdint>

using Bytef = unsigned char;
using uInt = unsigned int;
using uLong = unsigned long;
using uLongf = uLong;

#define Z_NULL 0
#define Z_OK 0
#define Z_DATA_ERROR (-3)
#define Z_BUF_ERROR (-5)

uLong crc32(uLong crc, const Bytef* buf, uInt len);
uLong compressBound(uLong sourceLen);
int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level);
int uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen);
