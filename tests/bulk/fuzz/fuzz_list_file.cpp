// libFuzzer target: list files, decoded and read line by line.
#include "bulk_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzListFile(data, size);
}
