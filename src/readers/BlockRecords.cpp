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

void ReportInvalidOffsets(ReadContext& context, const std::string& indexPath, long long count) {
    if (count == 0) return;
    context.Report.InvalidOffsets += count;
    context.Report.Warnings += 1;
    context.Messages.ShowMessage(
        MessageIcon::Warning,
        indexPath + " - " + std::to_string(count) +
            " entrada(s) con desplazamiento no valido (2^31 o mayor) omitida(s)",
        "Pamiro - Indice");
}

}  // namespace pamiro
