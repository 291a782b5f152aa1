#include <gtest/gtest.h>

#include "app/ReportPath.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// Where a report may go: nowhere the run reads or writes, nowhere missing.
TEST(ReportPath, IsRefusedInsideTheRunsPlacesAndWhereNothingCanBeWritten) {
    TempDir temp;
    const fs::path src = temp.Path() / "src", out = temp.Path() / "out",
                   data = temp.Path() / "data";
    for (const fs::path& folder : {src, out, data}) fs::create_directories(folder);
    WriteFile(temp.Path() / "file", "");
    const ReportGuards guards{
        src.string(), {out.string(), (temp.Path() / "new").string()}, data.string()};
    for (const auto& [path, refusal] : std::vector<std::pair<fs::path, std::string>>{
             {temp.Path() / "r.json", ""},
             {data / "notes.json", ""},
             {temp.Path() / "file", ""},  // an existing file is replaced whole
             {src / "CP" / "x.json", "La carpeta del informe no existe"},
             {src / "x.json", "dentro de la carpeta de la fuente"},
             {out / "x.json", "en la carpeta del destino"},
#ifndef _WIN32  // Windows resolves ".." by name
             {temp.Path() / "new" / ".." / "r.json", "La carpeta del informe no existe"},
#endif
             {data / "ver20_411.DAT", "un archivo que la conversión lee"},
             {data / "DEP_base.s", "un archivo que la conversión lee"},
             {temp.Path() / ".", "no puede ser una carpeta"},
             {src, "no puede ser una carpeta"},
             {temp.Path() / "file" / "r.json", "La carpeta del informe no existe"}}) {
        const std::string why = ReportFileRefusal(path.string(), guards);
        EXPECT_EQ(why.empty(), refusal.empty()) << path << ": " << why;
        EXPECT_NE(why.find(refusal), std::string::npos) << path << ": " << why;
    }
    // A folder of reports: the same places, and no file in its place.
    for (const auto& [folder, refusal] : std::vector<std::pair<fs::path, std::string>>{
             {temp.Path() / "reports", ""},
             {data, ""},
             {out, "en la carpeta del destino"},
             {out / "sub", "en la carpeta del destino"},
             {src / "sub", "dentro de la carpeta de la fuente"},
             {temp.Path() / "file", "no es una carpeta"}}) {
        const std::string why = ReportFolderRefusal(folder.string(), guards);
        EXPECT_EQ(why.empty(), refusal.empty()) << folder << ": " << why;
        EXPECT_NE(why.find(refusal), std::string::npos) << folder << ": " << why;
    }
#ifndef _WIN32
    EXPECT_NE(ReportFolderRefusal("C:\\r", guards).find("ruta de Windows"), std::string::npos);
    EXPECT_EQ(AbsolutePathText("a/../b"), (fs::current_path() / "b").string());
#endif
    EXPECT_EQ(AbsolutePathText(""), "");
}

}  // namespace
}  // namespace pamiro::testing
