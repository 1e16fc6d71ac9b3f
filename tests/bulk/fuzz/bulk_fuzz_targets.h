#pragma once

#include <cstddef>
#include <cstdint>

// Entry points of the fuzz targets for the two bulk-registration parsers. Each reads the
// bytes as the parser's input, checks what every result must satisfy and aborts otherwise.
int fuzzSongFileName(const uint8_t *data, size_t size);
int fuzzListFile(const uint8_t *data, size_t size);
