#include "readers/ReadContext.h"

namespace pamiro {

void ReadBlockRecord(ReadContext& context, ByteSource& file, std::uint32_t offset,
                     const std::string& compound) {
    if (offset == 0) return;
    std::vector<char>& buffer = context.RecordBuffer;
    file.ReadAt(offset, buffer.data(), buffer.size());
    BlockRecord record{{}, {}, NulFields(std::string_view(buffer.data(), buffer.size()))};
    record.Name = record.Values.Next();
    record.Type = record.Values.Next();
    context.Sink.Block(compound, record);
}

std::uint32_t UsableRecordOffset(std::uint32_t offset, std::uint64_t recordFileLength,
                                 InvalidOffsets& invalid) {
    if (offset >= 0x80000000u) {
        ++invalid.TopBitSet;
        return 0;
    }
    if (offset != 0 && offset >= recordFileLength) {
        ++invalid.PastEnd;
        return 0;
    }
    return offset;
}

void ReportInvalidOffsets(ReadContext& context, const std::string& indexPath,
                          const std::string& recordPath, const InvalidOffsets& invalid) {
    if (invalid.TopBitSet == 0 && invalid.PastEnd == 0) return;
    std::string text = indexPath;
    if (invalid.TopBitSet > 0) {
        text += " - " + std::to_string(invalid.TopBitSet) +
                " entrada(s) con desplazamiento no válido (2^31 o mayor) omitida(s)";
    }
    if (invalid.PastEnd > 0) {
        text += " - " + std::to_string(invalid.PastEnd) +
                " entrada(s) con desplazamiento más allá del final de " + recordPath +
                " omitida(s)";
    }
    context.Report.InvalidOffsets += invalid.TopBitSet + invalid.PastEnd;
    context.Report.Warnings += 1;
    context.Messages.ShowMessage(MessageIcon::Warning, text, "Pamiro - Indice");
}

void CheckIndexLength(ReadContext& context, const std::string& indexPath, std::uint64_t length,
                      std::uint64_t entrySize, bool mustHoldAnEntry) {
    std::string problem;
    if (mustHoldAnEntry && length < entrySize) {
        problem = "no contiene ninguna entrada completa (" + std::to_string(length) + " bytes)";
    } else if (length % entrySize != 0) {
        problem = "su longitud (" + std::to_string(length) +
                  " bytes) no es un número entero de entradas de " + std::to_string(entrySize) +
                  " bytes; la última se lee completada con ceros";
    }
    if (problem.empty()) return;
    context.Report.Warnings += 1;
    context.Messages.ShowMessage(MessageIcon::Warning, indexPath + " - " + problem,
                                 "Pamiro - Indice");
}

}  // namespace pamiro
