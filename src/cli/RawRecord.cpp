#include "cli/RawRecord.h"

#include "model/Interfaces.h"
#include "model/RecordStream.h"
#include "platform/MemFile.h"

namespace {

constexpr int kCardTexts = 12;

} // namespace

bool ParseRawRecord(const std::uint8_t* bytes, std::size_t length, RAWRECORD& record) {
    CMemFile file(bytes, length);
    CRecordStream stream(file);
    stream.ReadGuid(record.clsid);
    stream.ReadText(record.name);
    stream.ReadText(record.comments);
    stream.ReadFileTime(record.created);
    stream.ReadFileTime(record.modified);
    stream.ReadUInt32(record.image);
    for (std::uint32_t& word : record.reserved)
        stream.ReadUInt32(word);
    stream.ReadText(record.customFieldsText);
    if (stream.Failed() || file.GetPosition() > length)
        return false;
    const CLSID& clsid = record.clsid;
    if (clsid == CLSID_Folder || clsid == CLSID_RootFolder || clsid == CLSID_DeletedFolder) {
        stream.ReadUInt32(record.folderWord);
    } else if (clsid == CLSID_CreditCardItem) {
        for (int i = 0; i < kCardTexts; ++i) {
            std::string text;
            stream.ReadText(text);
            record.cardTexts.push_back(std::move(text));
        }
    } else if (clsid == CLSID_FileItem) {
        std::string skipped;
        stream.ReadText(skipped);
        stream.ReadText(skipped);
        std::uint32_t number = 0;
        std::uint64_t time = 0;
        stream.ReadUInt32(number);
        stream.ReadFileTime(time);
        stream.ReadFileTime(time);
        stream.ReadUInt32(number);
        for (std::uint32_t& word : record.fileReserved)
            stream.ReadUInt32(word);
    }
    return !stream.Failed();
}
