#include <gtest/gtest.h>

#include "app/RequestCheck.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// --ia-version takes each version a label of the table names, and no part of one.
TEST(RequestCheck, LabelsNameTheirVersions) {
    const auto codeOf = [](const std::string& version) {
        std::string codes;
        for (const auto& [code, label] : DefaultVersionTable()) {
            if (LabelNamesVersion(label, version)) codes += code;
        }
        return codes;
    };
    // "version=code", the code empty when no label names the version.
    for (const std::string row :
         {"6.2=620", "6.2.1=620", "6.3=620", "6.1=610", "4.3=610", "6.1.1=611", "4.1.1=411",
          "4.2.x=423", "6=", "6.4=", "o=", "anterior=", "/=", "="}) {
        const std::string version = row.substr(0, row.find('='));
        EXPECT_EQ(codeOf(version), row.substr(version.size() + 1)) << version;
    }
}

TEST(RequestCheck, NormalisesTheNameAndPreparesTheJobOnlyWhenAccepted) {
    Workspace ws;
    WriteFile(ws.Data() / "ver51_620.dat", "");
    WriteFile(ws.Data() / "ver20_411.dat", "");
#ifndef _WIN32                                   // where the system tells case apart
    WriteFile(ws.Data() / "VER51_411.dat", "");  // two names that differ only in case name
    WriteFile(ws.Data() / "ver51_411.DAT", "");  // no data file, and the window says so
#endif
    struct Case {
        const char* Cp;
        int Platform, Version, Source, Destination;
        const char* Text;  // empty: accepted
        const char* Title;
        const char* DataFile;  // as named by the check, found or not
    };
    for (const Case& c : std::initializer_list<Case>{
             {"  cp6001 ", 1, 4, 0, 0, "", "", "ver51_620.dat"},
             {"CP6001", 2, 4, 0, 0, "", "", "ver51_620.dat"},
             {"CP6001", 0, 0, 0, 0, "", "", "ver20_411.dat"},
             {"", -1, 4, 0, 0, "No se a seleccionado un CP", "Nombre del CP", ""},
             {"      ", 1, 4, 0, 0, "No se a seleccionado un CP", "Nombre del CP", ""},
             {"CP600", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP", ""},
             {"CP60011", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP", ""},
             {"CP/001", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP", ""},
             {"CP\t001", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP", ""},
             {"CP\x7F"
              "001",
              1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP", ""},
             {"CP6001", -1, 4, 0, 0, "No se a definido el tipo de equipo", "Plataforma", ""},
             {"CP6001", 3, 4, 0, 0, "No se a definido el tipo de equipo", "Plataforma", ""},
             {"CP6001", 1, 9, 0, 0, "No se ha seleccionado la versión de I/A", "Versión", ""},
             {"CP6001", 1, -1, 0, 0, "No se ha seleccionado la versión de I/A", "Versión", ""},
             {"CP6001", 1, 4, -1, 0, "No se ha seleccionado el formato de la fuente", "Fuente", ""},
             {"CP6001", 1, 4, 0, -1, "No se ha seleccionado el formato del destino", "Destino", ""},
             // Only the selected version's file counts: 411 exists for PW, not for AW.
             {"CP6001", 2, 0, 0, 0, "No se encuentra el archivo de datos", "Archivo de datos",
              "ver51_411.dat"}}) {
        SCOPED_TRACE(c.Cp + std::string(" ") + c.Text);
        ConversionJob job;
        job.ProgramDir = ws.Data().string();
        job.VersionTable = DefaultVersionTable();
        job.CompoundCount = 99;
        RecordingHost host;
        host.Panel1 = "old";
        const std::string src = ws.Src().string();
        ConversionRequest request{c.Cp,          c.Platform, c.Version, c.Source,
                                  c.Destination, src + "/",  src};
        const auto refusal = CheckRequest(request, job, host);
        EXPECT_EQ(refusal ? refusal->Text + "|" + refusal->Title : "|",
                  c.Text + std::string("|") + c.Title);
        EXPECT_EQ(host.Panel1, "");
        if (*c.DataFile) {
            EXPECT_EQ(job.DataFilePath, (ws.Data() / c.DataFile).string());
        }
#ifndef _WIN32  // where the system tells case apart
        if (refusal && *c.DataFile) {
            EXPECT_EQ(ExplainedRefusal(*refusal, job).Text,
                      std::string(c.Text) + "\nNo se toma ninguno: en " + ws.Data().string() +
                          " hay varios nombres que solo difieren de ver51_411.dat en mayúsculas y "
                          "minúsculas: VER51_411.dat, ver51_411.DAT");
        }
#endif
        EXPECT_EQ(job.CompoundCount, refusal ? 99 : 0);  // counters change only when a run starts
        if (refusal) continue;
        EXPECT_EQ(request.CpNameText, "CP6001");
        EXPECT_EQ(job.SourceDir, ws.Src().string());  // trailing separator removed
        EXPECT_EQ(static_cast<int>(job.PlatformIndex), c.Platform);
        // Before anything else the run warns that the destination is the source.
        RunAcceptedRequest(request, job, host);
        EXPECT_EQ(host.Messages.at(0).Title, "Pamiro - Destino");
    }
    EXPECT_EQ(NormaliseCpName(" \xe9t\xe9\xf7x\xff"), "\xc9T\xc9\xf7X\xff");  // Latin-1 too
}

// The window's run of a Working File on a platform its index does not fit:
// the same text in a critical box, no run started, nothing written.
TEST(RequestCheck, AWindowRunOnAPlatformTheIndexDoesNotFitIsRefusedBeforeItStarts) {
    Workspace ws;
    ws.WriteDataFiles({{"T1", {"P1"}}});
    // Two compounds, so that a record offset is a real one.
    CompoundSpec c1{"C1", BlockSpec{"C1", "T1", {"1"}}, {{"B1", "T1", {"10"}}}, {}};
    CompoundSpec c2{"C2", std::nullopt, {{"B2", "T1", {"20"}}}, {}};
    WriteWorkingFile(ws.Src(), {"CP6001", "R001", IndexOf(Platform::Aw51), {c1, c2}});
    const Workspace::Result refused = ws.Run("CP6001", IndexOf(Platform::Pw), 0, 0);
    ASSERT_EQ(refused.Host.Messages.size(), 1u);
    EXPECT_EQ(refused.Host.Messages[0].Icon, MessageIcon::Critical);
    EXPECT_EQ(refused.Host.Messages[0].Text,
              "El índice de CP6001.O no corresponde a la plataforma PW (Intel); parece AW51");
    EXPECT_EQ(refused.Host.Freezes, 0);
    EXPECT_TRUE(fs::is_empty(ws.Out()));
    EXPECT_EQ(ws.Run("CP6001", IndexOf(Platform::Aw51), 0, 0).Host.Messages.size(), 0u);
    EXPECT_TRUE(ws.OutExists("cmp_list"));
}

}  // namespace
}  // namespace pamiro::testing
