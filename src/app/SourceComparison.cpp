#include "app/SourceComparison.h"

#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "core/Text.h"

namespace pamiro {

namespace {

// For each item of a, the index of its match in b: the n-th item of a name
// goes with the n-th item of that name on the other side.
template <typename Item, typename NameOf>
std::vector<std::optional<std::size_t>> MatchByName(const std::vector<Item>& a,
                                                    const std::vector<Item>& b, NameOf nameOf) {
    std::unordered_map<std::string, std::vector<std::size_t>> inB;
    for (std::size_t i = 0; i < b.size(); ++i) inB[nameOf(b[i])].push_back(i);
    std::unordered_map<std::string, std::size_t> taken;
    std::vector<std::optional<std::size_t>> match(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto it = inB.find(nameOf(a[i]));
        if (it == inB.end()) continue;
        std::size_t& n = taken[nameOf(a[i])];
        if (n < it->second.size()) match[i] = it->second[n++];
    }
    return match;
}

template <typename Item>
std::vector<bool> Matched(const std::vector<std::optional<std::size_t>>& match,
                          const std::vector<Item>& b) {
    std::vector<bool> used(b.size(), false);
    for (const auto& m : match) {
        if (m) used[*m] = true;
    }
    return used;
}

// Where each parameter of the first side's list stands in the second's
// (entries from 2 on, as value indexes), by name; -1 when it has none.
using ParameterMap = std::vector<long>;

const auto kName = [](const auto& item) -> const std::string& { return item.Name; };

ParameterMap MapParameters(const ParameterNames& first, const ParameterNames& second) {
    const auto tail = [](const ParameterNames& names) {
        return ParameterNames(names.begin() + std::min<std::size_t>(2, names.size()), names.end());
    };
    const auto match =
        MatchByName(tail(first), tail(second),
                    [](const std::string& name) -> const std::string& { return name; });
    ParameterMap map;
    for (const auto& m : match) map.push_back(m ? static_cast<long>(*m) : -1);
    return map;
}

class Comparer {
  public:
    Comparer(const SourceSnapshot& first, const SourceSnapshot& second,
             const std::set<std::string>& ignored)
        : first_(first), second_(second), ignored_(ignored) {}

    Comparison Run() {
        out_.SourcesAndCodesCompared =
            first_.CarriesSourcesAndCodes() && second_.CarriesSourcesAndCodes();
        const auto& a = first_.Compounds;
        const auto& b = second_.Compounds;
        const auto match = MatchByName(a, b, kName);
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (match[i]) {
                ++out_.Totals.CompoundsCompared;
                if (out_.SourcesAndCodesCompared) CompareRevisionCodes(a[i], b[*match[i]]);
                CompareCompound(a[i], b[*match[i]]);
            } else if (!NotInScript(a[i], second_)) {
                ++out_.Totals.CompoundsOnlyOneSide;
                Add(DifferenceKind::CompoundOnlyInFirst, a[i].Name);
            }
        }
        const auto used = Matched(match, b);
        for (std::size_t i = 0; i < b.size(); ++i) {
            if (used[i] || NotInScript(b[i], first_)) continue;
            ++out_.Totals.CompoundsOnlyOneSide;
            Add(DifferenceKind::CompoundOnlyInSecond, b[i].Name);
        }
        return std::move(out_);
    }

  private:
    Difference& Add(DifferenceKind kind, const std::string& compound, const std::string& block = {},
                    const std::string& type = {}) {
        return out_.Differences.emplace_back(Difference{kind, compound, block, type, {}, {}, {}});
    }

    // A block the other side, a conversion's output, cannot hold: its type
    // is unknown here, so the conversion left it out.
    bool NotConverted(const std::string& compound, const BlockSnapshot& block,
                      const SourceSnapshot& other) {
        if (block.TypeKnown || !other.IsOutput()) return false;
        out_.NotConverted.push_back({compound, block.Name, block.Type, false});
        return true;
    }

    // A script names a compound only in its blocks' commands: one with no
    // converted block is not in it.
    bool NotInScript(const CompoundSnapshot& compound, const SourceSnapshot& other) {
        if (other.Origin != SnapshotOrigin::IccOutput) return false;
        for (const BlockSnapshot& block : compound.Blocks) {
            if (block.TypeKnown) return false;
        }
        for (const BlockSnapshot& block : compound.Blocks)
            NotConverted(compound.Name, block, other);
        return true;
    }

    // The FoxCAE output closes each compound with its code: a difference there
    // is one in what the conversion writes.
    void CompareRevisionCodes(const CompoundSnapshot& a, const CompoundSnapshot& b) {
        if (a.RevisionCode == b.RevisionCode) return;
        ++out_.Totals.RevisionCodesChanged;
        Difference& d = Add(DifferenceKind::RevisionCodeChanged, a.Name);
        d.First = a.RevisionCode;
        d.Second = b.RevisionCode;
    }

    void CompareCompound(const CompoundSnapshot& a, const CompoundSnapshot& b) {
        const auto match = MatchByName(a.Blocks, b.Blocks, kName);
        for (std::size_t i = 0; i < a.Blocks.size(); ++i) {
            const BlockSnapshot& x = a.Blocks[i];
            if (!match[i]) {
                if (NotConverted(a.Name, x, second_)) continue;
                ++out_.Totals.BlocksOnlyOneSide;
                Add(DifferenceKind::BlockOnlyInFirst, a.Name, x.Name, x.Type);
                continue;
            }
            ++out_.Totals.BlocksCompared;
            const std::size_t before = out_.Differences.size();
            CompareBlock(a.Name, x, b.Blocks[*match[i]]);
            if (out_.Differences.size() > before) ++out_.Totals.BlocksChanged;
        }
        const auto used = Matched(match, b.Blocks);
        for (std::size_t i = 0; i < b.Blocks.size(); ++i) {
            if (used[i] || NotConverted(a.Name, b.Blocks[i], first_)) continue;
            ++out_.Totals.BlocksOnlyOneSide;
            Add(DifferenceKind::BlockOnlyInSecond, a.Name, b.Blocks[i].Name, b.Blocks[i].Type);
        }
    }

    void CompareBlock(const std::string& compound, const BlockSnapshot& x, const BlockSnapshot& y) {
        if (x.Type != y.Type) {
            Difference& d = Add(DifferenceKind::TypeChanged, compound, x.Name, x.Type);
            d.First = x.Type;
            d.Second = y.Type;
            return;
        }
        if (x.TypeKnown && y.TypeKnown) {
            CompareByName(compound, x, y);
        } else {
            const bool known = x.TypeKnown || y.TypeKnown;
            out_.ComparedByPosition.push_back({compound, x.Name, x.Type, known});
            if (known) CompareByPosition(compound, x, y);
        }
        if ((x.Sequence || y.Sequence) && out_.SourcesAndCodesCompared) {
            CompareSequenceSources(compound, x, y);
        }
    }

    void Value(const std::string& compound, const BlockSnapshot& x, DifferenceKind kind,
               const std::string& name, std::string_view first, std::string_view second,
               bool byPosition = false) {
        if (kind == DifferenceKind::ValueChanged && first == second) return;
        if (ignored_.count(name)) return;
        Difference& d = Add(kind, compound, x.Name, x.Type);
        d.Parameter = name;
        d.First = std::string(first);
        d.Second = std::string(second);
        d.ByPosition = byPosition;
        ++out_.Totals.ParametersChanged;
    }

    void CompareByName(const std::string& compound, const BlockSnapshot& x,
                       const BlockSnapshot& y) {
        const ParameterNames& na = *first_.NamesOf(x);
        const ParameterNames& nb = *second_.NamesOf(y);
        const ValueList xv = first_.ValuesOf(x), yv = second_.ValuesOf(y);
        if (&na == &nb || na == nb) {  // the same list: the same positions
            for (std::size_t j = 0; j < xv.size() && j < yv.size(); ++j) {
                Value(compound, x, DifferenceKind::ValueChanged, na[j + 2], xv[j], yv[j]);
            }
            return;
        }
        auto [it, fresh] = maps_.try_emplace({&na, &nb});
        if (fresh) it->second = MapParameters(na, nb);
        const ParameterMap& map = it->second;
        std::vector<bool> used(yv.size(), false);
        for (std::size_t j = 0; j < map.size() && j < xv.size(); ++j) {
            const long k = map[j];
            if (k < 0 || static_cast<std::size_t>(k) >= yv.size()) {
                Value(compound, x, DifferenceKind::ParameterOnlyInFirst, na[j + 2], xv[j], {});
                continue;
            }
            used[static_cast<std::size_t>(k)] = true;
            Value(compound, x, DifferenceKind::ValueChanged, na[j + 2], xv[j],
                  yv[static_cast<std::size_t>(k)]);
        }
        for (std::size_t k = 0; k < yv.size(); ++k) {
            if (!used[k])
                Value(compound, x, DifferenceKind::ParameterOnlyInSecond, nb[k + 2], {}, yv[k]);
        }
    }

    // As many positions as the side that knows the type has parameters,
    // named by it.
    void CompareByPosition(const std::string& compound, const BlockSnapshot& x,
                           const BlockSnapshot& y) {
        const ParameterNames& names = x.TypeKnown ? *first_.NamesOf(x) : *second_.NamesOf(y);
        const std::size_t count = names.size() > 2 ? names.size() - 2 : 0;
        const ValueList xv = first_.ValuesOf(x), yv = second_.ValuesOf(y);
        for (std::size_t j = 0; j < count; ++j) {
            const std::string_view first = j < xv.size() ? xv[j] : std::string_view();
            const std::string_view second = j < yv.size() ? yv[j] : std::string_view();
            Value(compound, x, DifferenceKind::ValueChanged, names[j + 2], first, second, true);
        }
    }

    void CompareSequenceSources(const std::string& compound, const BlockSnapshot& x,
                                const BlockSnapshot& y) {
        const bool same = x.SequenceBytes && y.SequenceBytes ? *x.SequenceBytes == *y.SequenceBytes
                                                             : !x.SequenceBytes && !y.SequenceBytes;
        if (same) return;
        Difference& d = Add(DifferenceKind::SequenceSourceChanged, compound, x.Name, x.Type);
        d.First = SourceLabel(x);
        d.Second = SourceLabel(y);
    }

    static std::string SourceLabel(const BlockSnapshot& block) {
        if (!block.SequenceBytes) return {};
        return block.SequenceSourceName + " (" + std::to_string(block.SequenceBytes->Length) +
               " bytes)";
    }

    const SourceSnapshot& first_;
    const SourceSnapshot& second_;
    const std::set<std::string>& ignored_;
    std::map<std::pair<const ParameterNames*, const ParameterNames*>, ParameterMap> maps_;
    Comparison out_;
};

}  // namespace

Comparison CompareSnapshots(const SourceSnapshot& first, const SourceSnapshot& second,
                            const std::set<std::string>& ignored) {
    return Comparer(first, second, ignored).Run();
}

std::set<std::string> DataFileParameterNames(const InputFolder& program, const std::string& file,
                                             Platform platform) {
    ParameterLookup lookup(program, {file}, TraitsOf(platform).DataLayout);
    std::set<std::string> names;
    for (const auto& [type, list] : lookup.Lists()) {
        for (std::size_t j = 2; j < list.size(); ++j) names.insert(list[j]);
    }
    return names;
}

std::set<std::string> MatchIgnoringCase(const std::vector<std::string>& wanted,
                                        const std::set<std::string>& names,
                                        std::vector<std::string>& unknown) {
    std::set<std::string> matched;
    for (const std::string& name : wanted) {
        bool found = false;
        for (const std::string& candidate : names) {
            if (!EqualIgnoringAsciiCase(name, candidate)) continue;
            matched.insert(candidate);
            found = true;
        }
        if (!found) unknown.push_back(name);
    }
    return matched;
}

}  // namespace pamiro
