// Fuzzes the sequence CSV reader. Whatever the bytes, it takes the steps or
// refuses them with a reason; steps it takes, written back out, read back
// the same.
#include "FuzzCheck.h"
#include "SequenceCsv.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const CsvReadResult result = SequenceCsv::read(bytes, 8);
    if (!result.ok) {
        FUZZ_CHECK(!result.error.isEmpty(), "refused without a reason");
        return 0;
    }
    FUZZ_CHECK(result.lines.size() == result.steps.size(), "a step without its line");
    const CsvReadResult back = SequenceCsv::read(SequenceCsv::write(result.steps, 8), 8);
    FUZZ_CHECK(back.ok, "the writer's own file is refused");
    FUZZ_CHECK(back.steps == result.steps, "the steps do not read back the same");
    return 0;
}
