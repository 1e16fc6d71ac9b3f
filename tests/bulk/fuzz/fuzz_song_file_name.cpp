// libFuzzer target: the song file-name grammar.
#include "bulk_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzSongFileName(data, size);
}
