#include "model/Folder.h"

#include "model/RecordStream.h"

void CFolder::SerializeClassPart(CRecordStream& stream, bool storing) {
    if (storing) {
        stream.WriteUInt32(1);
    } else {
        std::uint32_t ignored = 0;
        stream.ReadUInt32(ignored);
    }
}
