#include <gtest/gtest.h>

#include <tuple>

#include "app/FolderHints.h"
#include "app/InputChecks.h"
#include "core/Paths.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// A Working File of CP6001 under root/wf, a Save All of it under root/sa.
class Hints : public ::testing::Test {
  protected:
    void SetUp() override {
        const CompoundSpec c1{"C1", std::nullopt, {{"B1", "T1", {"1"}}}, {}};
        WriteWorkingFile(temp.Path() / "wf", {"CP6001", "R001", 1, {c1}});
        WriteSaveAll(temp.Path() / "sa/CP6001", {{c1}, {}, std::nullopt});
    }
    // Joined with the platform's separator, as the program joins them.
    std::string In(const std::string& path) const {
        return (temp.Path() / fs::path(path).make_preferred()).string();
    }
    TempDir temp;
};

TEST_F(Hints, EachWrongFolderNamesTheRightFolderOrFormat) {
    const auto wf = SourceKind::WorkingFile;
    const auto sa = SourceKind::SaveAll;
    struct Case {
        const char* From;
        SourceKind Kind;
        std::string Hint;
    };
    for (const Case& c : std::vector<Case>{
             {"wf", wf, ""},
             {"wf/CP6001", wf,
              "la carpeta elegida es la del CP; para un Working File se "
              "elige la que la contiene: pruebe --from " +
                  In("wf")},
             {"", wf, "CP6001.wf está un nivel más abajo: pruebe --from " + In("wf")},
             {"sa", wf,
              In("sa/CP6001") + " es un Save All: pruebe --source sa y --from " + In("sa/CP6001")},
             {"sa/CP6001", wf, "la carpeta elegida es un Save All: pruebe --source sa"},
             {"sa", sa,
              "para un Save All se elige el árbol mismo: pruebe --from " + In("sa/CP6001")},
             {"sa/CP6001/C1", sa,
              "la carpeta elegida es la de un compuesto; el árbol Save All "
              "es la que la contiene: pruebe --from " +
                  In("sa/CP6001")},
             {"wf", sa, "la carpeta contiene el Working File de CP6001: pruebe --source wf"},
             {"wf/CP6001", sa,
              "la carpeta elegida es la de un Working File: pruebe --source "
              "wf y --from " +
                  In("wf")}}) {
        SCOPED_TRACE(c.From);
        const std::string from = *c.From ? In(c.From) : temp.Path().string();
        EXPECT_EQ(FolderHint({from, "CP6001", c.Kind, true}),
                  c.Hint.empty() ? "" : "Sugerencia: " + c.Hint);
    }
    EXPECT_EQ(BatchFolderHint(In("wf/CP6001")),
              "Sugerencia: la carpeta elegida es la de un CP; --from es la carpeta que contiene "
              "los CP: pruebe --from " +
                  In("wf"));
    EXPECT_EQ(BatchFolderHint(temp.Path().string()),
              "Sugerencia: hay CP un nivel más abajo: pruebe --from " + In("sa"));
    EXPECT_EQ(BatchFolderHint(In("sa")), "");  // no CP below CP6001's compounds
}

TEST_F(Hints, WindowGetsTheHintAsASecondLineAndDestinationInsideTheSourceIsWarned) {
    const auto wf = SourceKind::WorkingFile;
    const std::string notFound = "CP6001.wf no se encuentra";
    const auto missing = MessageKind::WorkingFileNotFound;
    using Row = std::tuple<const char*, SourceKind, std::string, MessageKind, std::string>;
    for (const auto& [from, kind, text, message, hint] : std::vector<Row>{
             {"sa", wf, notFound, missing,
              In("sa/CP6001") + " es un Save All: pruebe la fuente \"Save All\" y la carpeta " +
                  In("sa/CP6001")},
             {"wf", SourceKind::SaveAll, "Save All incorrecto de CP6001", MessageKind::SaveAllEmpty,
              "la carpeta contiene el Working File de CP6001: pruebe la fuente \"Working File\""},
             {"wf", wf, notFound, missing, ""},                // no better folder
             {"sa", wf, notFound, MessageKind::Plain, ""}}) {  // no hint follows this kind
        RecordingHost recorded;
        HintingHost(recorded, {In(from), "CP6001", kind, false})
            .ShowMessage(MessageIcon::Critical, text, "Pamiro", message);
        EXPECT_EQ(recorded.Messages.at(0).Text,
                  text + (hint.empty() ? "" : "\nSugerencia: " + hint));
    }
    for (const auto& [to, warned] : std::initializer_list<std::pair<std::string, bool>>{
             {"out", false}, {"wf2", false}, {"wf/", true}, {"wf/new/out", true}}) {
        EXPECT_EQ(DestinationInSourceWarning(In("wf"), In(to)).empty(), !warned) << to;
    }
    EXPECT_NE(DestinationInSourceWarning(".", "nueva/salida"), "");  // from the working folder
}

}  // namespace
}  // namespace pamiro::testing
