// Any bytes: the reader never crashes, reports only its two errors, never
// reads past the input, and whatever it accepts writes back byte for byte.
#include "data/SettingsFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    SettingsRecord record;
    qsizetype consumed = -1;
    const auto error = SettingsFile::Read(bytes, record, &consumed);
    if (consumed < 0 || consumed > bytes.size()) {
        std::fprintf(stderr, "consumed %lld of %zu bytes\n", static_cast<long long>(consumed), size);
        std::abort();
    }
    if (error) {
        if (error->Number != VbErr::InputPastEndOfFile && error->Number != VbErr::BadRecordLength) {
            std::fprintf(stderr, "unexpected error %d\n", error->Number);
            std::abort();
        }
        // The partial record must still be writable.
        (void)SettingsFile::Write(record);
        return 0;
    }
    if (SettingsFile::Write(record) != bytes.left(consumed)) {
        std::fprintf(stderr, "accepted record does not write back to its bytes\n");
        std::abort();
    }
    return 0;
}
