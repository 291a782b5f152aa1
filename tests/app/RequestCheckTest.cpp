#include <gtest/gtest.h>

#include "app/RequestCheck.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

TEST(RequestCheck, NormalisesTheNameAndPreparesTheJobOnlyWhenAccepted) {
    Workspace ws;
    WriteFile(ws.Data() / "ver51_620.dat", "");
    WriteFile(ws.Data() / "ver20_411.dat", "");
    WriteFile(ws.Data() / "VER51_411.dat", "");  // two names that differ only in case name
    WriteFile(ws.Data() / "ver51_411.DAT", "");  // no data file, and the window says so
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
        if (refusal && *c.DataFile)
            EXPECT_EQ(ExplainedRefusal(*refusal, job).Text,
                      std::string(c.Text) + "\nNo se toma ninguno: en " + ws.Data().string() +
                          " hay varios nombres que solo difieren de ver51_411.dat en mayúsculas y "
                          "minúsculas: VER51_411.dat, ver51_411.DAT");
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

}  // namespace
}  // namespace pamiro::testing
