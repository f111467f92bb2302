// Game records as the score server receives them: reading any bytes must
// never crash, hang or read out of bounds; a record that reads must write
// back to the same bytes, and (when short enough to be quick) play again
// without harm. Inputs whose checksum is wrong are also read once with the
// checksum put right, so that the reader behind the checksum is explored too.
#include <cstdint>
#include <cstring>
#include <vector>

#include "record/GameRecord.h"
#include "record/Replay.h"

namespace {

void Check(const uint8_t* data, size_t size)
{
    record::TGameRecord rec;
    if (record::DecodeRecord(data, size, rec) != record::TReadStatus::Ok)
        return;
    const std::vector<uint8_t> again = record::EncodeRecord(rec);
    record::TGameRecord back;
    if (record::DecodeRecord(again, back) != record::TReadStatus::Ok || back.Frames != rec.Frames ||
        back.Events != rec.Events || !(back.End == rec.End))
        __builtin_trap();
    if (rec.Frames <= 3000)
        record::ReplayRecord(rec);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Check(data, size);
    if (size >= 9 && size <= record::MaxRecordBytes) {
        std::vector<uint8_t> sealed(data, data + size);
        const uint32_t crc = record::Crc32(sealed.data(), size - 4);
        std::memcpy(sealed.data() + size - 4, &crc, 4);
        Check(sealed.data(), size);
    }
    return 0;
}
