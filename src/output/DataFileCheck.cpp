#include "output/DataFileCheck.h"

#include <algorithm>
#include <map>

#include "core/Text.h"
#include "output/DataFileText.h"

namespace pamiro {

namespace {

std::string Where(std::size_t record, std::size_t size) {
    return "registro " + std::to_string(record + 1) + " (byte " + std::to_string(record * size) +
           ")";
}

struct OpenList {
    std::size_t Header = 0;
    std::string Type;
    std::size_t Entries = 0;
};

}  // namespace

std::vector<DataFileFinding> CheckDataFile(std::string_view bytes, const DataFileLayout& layout) {
    std::vector<DataFileFinding> findings;
    const std::size_t size = layout.RecordSize;
    const std::size_t whole = bytes.size() / size;
    std::map<std::string, std::vector<std::size_t>> headers;  // type -> its header records
    std::vector<std::string> typeOrder;
    bool inList = false;
    OpenList list;

    auto closeList = [&] {
        if (!inList || list.Entries <= kParameterTableSize) return;
        findings.push_back({DataFileProblem::ListTooLong, list.Header * size,
                            Where(list.Header, size) + ": el tipo " + QuoteBytes(list.Type) +
                                " tiene " + std::to_string(list.Entries) + " entradas, más de " +
                                std::to_string(kParameterTableSize) + "; se guardan todas"});
    };

    for (std::size_t i = 0; i < whole; ++i) {
        const DataRecord record = SplitDataRecord(bytes.substr(i * size, size), layout);
        if (IsTypeHeader(record)) {
            closeList();
            inList = true;
            list = {i, CutAtNul(record.Detail), 0};
            auto& seen = headers[list.Type];
            if (seen.empty()) typeOrder.push_back(list.Type);
            seen.push_back(i);
            if (record.Detail.find('\0') == std::string::npos) {
                findings.push_back({DataFileProblem::NameWithoutNul, i * size,
                                    Where(i, size) + ": el tipo " + QuoteBytes(record.Detail) +
                                        " llena su campo sin NUL; se toma entero"});
            }
        } else if (!inList) {
            continue;
        }
        ++list.Entries;
        if (record.Key.find('\0') == std::string::npos) {
            findings.push_back({DataFileProblem::NameWithoutNul, i * size,
                                Where(i, size) + ": el nombre " + QuoteBytes(record.Key) +
                                    " llena su campo sin NUL; se toma entero"});
        }
    }
    closeList();

    const std::size_t firstHeader = typeOrder.empty() ? whole : headers[typeOrder.front()].front();
    if (firstHeader > 0) {
        findings.push_back({DataFileProblem::RecordsBeforeHeader, 0,
                            std::to_string(firstHeader) +
                                " registro(s) antes del primer encabezado de tipo: no pertenecen "
                                "a ningún tipo y no se leen"});
    }
    for (const std::string& type : typeOrder) {
        const std::vector<std::size_t>& seen = headers[type];
        if (seen.size() < 2) continue;
        std::string where;
        for (std::size_t header : seen) {
            where += (where.empty() ? "" : ", ") + std::to_string(header + 1);
        }
        findings.push_back({DataFileProblem::TypeDefinedTwice, seen.back() * size,
                            "el tipo " + QuoteBytes(type) + " está definido " +
                                std::to_string(seen.size()) + " veces (registros " + where +
                                "); vale la última definición"});
    }
    if (bytes.size() % size != 0) {
        findings.push_back({DataFileProblem::PartialLastRecord, whole * size,
                            "byte " + std::to_string(whole * size) +
                                ": el archivo termina con un registro incompleto de " +
                                std::to_string(bytes.size() % size) + " bytes; se ignora"});
    }
    std::stable_sort(
        findings.begin(), findings.end(),
        [](const DataFileFinding& a, const DataFileFinding& b) { return a.Offset < b.Offset; });
    return findings;
}

}  // namespace pamiro
