#include "output/OutputFiles.h"
#include "output/OutputReadBack.h"
#include "output/ReadBackLines.h"

namespace pamiro {

using namespace readback;

std::optional<ReadBackError> ReadIccOutput(const InputFolder& folder, const std::string& cp,
                                           ReadBackSink& sink) {
    return Refusing([&] {
        TextFile file(folder, ScriptName(cp));
        enum class At { Open, Between, NeedType, InBlock, NeedExit, Done } at = At::Open;
        ReadBackBlock block;
        std::string_view raw, line, key, value;
        bool started = false;
        while (file.Next(raw, line)) {
            if (line.empty()) continue;
            switch (at) {
                case At::Open:
                    if (!EqualIgnoringAsciiCase(OneBlankApart(line),
                                                "OPEN " + cp + " ALL PAMIRO")) {
                        file.Refuse("se esperaba \"OPEN " + cp + " ALL PAMIRO\"");
                    }
                    at = At::Between;
                    break;
                case At::Between:
                    if (StartsIgnoringCase(line, "ADD ")) {
                        const std::string_view target = TrimmedView(line.substr(4));
                        const std::size_t colon = target.find(':');
                        const std::string compound(TrimmedView(target.substr(0, colon)));
                        block.Name = colon == std::string_view::npos
                                         ? compound
                                         : std::string(TrimmedView(target.substr(colon + 1)));
                        if (compound.empty() || block.Name.empty()) {
                            file.Refuse("se esperaba \"ADD compuesto:bloque\"");
                        }
                        if (!started || compound != block.Compound) sink.CompoundStarted(compound);
                        started = true;
                        block.Compound = compound;
                        block.Names.clear();
                        block.Values.clear();
                        at = At::NeedType;
                    } else if (EqualIgnoringAsciiCase(OneBlankApart(line), "CLOSE " + cp)) {
                        at = At::NeedExit;
                    } else {
                        file.Refuse("se esperaba \"ADD compuesto:bloque\" o \"CLOSE " + cp + "\"");
                    }
                    break;
                case At::NeedType:
                    if (!SplitAt(line, '=', key, value) || !EqualIgnoringAsciiCase(key, "TYPE")) {
                        file.Refuse("se esperaba \"TYPE = tipo\"");
                    }
                    block.Type = value;
                    at = At::InBlock;
                    break;
                case At::InBlock:
                    if (EqualIgnoringAsciiCase(line, "END")) {
                        sink.BlockRead(block);
                        at = At::Between;
                    } else if (SplitAt(line, '=', key, value)) {
                        block.Names.emplace_back(key);
                        block.Values.emplace_back(value);
                    } else {
                        file.Refuse("se esperaba \"PARÁMETRO  = valor\" o END");
                    }
                    break;
                case At::NeedExit:
                    if (!EqualIgnoringAsciiCase(line, "EXIT")) file.Refuse("se esperaba EXIT");
                    at = At::Done;
                    break;
                case At::Done:
                    file.Refuse("línea después de EXIT");
            }
        }
        if (at != At::Done) file.Refuse("el guion termina sin \"CLOSE " + cp + "\" y EXIT");
    });
}

}  // namespace pamiro
