// Fuzzes the saved-setup reader. Whatever the bytes, it takes the setup or
// refuses it with a reason; a setup it takes writes out and reads back the
// same, and a recall plan can be made from it.
#include "FuzzCheck.h"
#include "SetupFile.h"
#include "SetupRecall.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SetupReadResult result = SetupFile::read(bytes, 8);
    if (!result.ok) {
        FUZZ_CHECK(!result.error.isEmpty(), "refused without a reason");
        return 0;
    }
    const SetupReadResult back = SetupFile::read(SetupFile::write(result.setup), 8);
    FUZZ_CHECK(back.ok, "the writer's own file is refused");
    FUZZ_CHECK(back.setup == result.setup, "the setup does not read back the same");
    const SetupRecall::Plan plan =
        SetupRecall::plan(result.setup, "4720", "1", SafetySettings(), ChannelValues(8));
    FUZZ_CHECK(!plan.error.isEmpty() || plan.changes.size() <= 8 * 3, "more changes than settings");
    return 0;
}
