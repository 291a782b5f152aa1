#include <gtest/gtest.h>

#include "app/RequestCheck.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

class RequestCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        job.ProgramDir = ws.Data().string();
        job.VersionTable = DefaultVersionTable();
        WriteFile(ws.Data() / "ver51_620.dat", "");
        WriteFile(ws.Data() / "ver20_411.dat", "");
        job.CompoundCount = 99;
        job.SourceFileCount = 99;
        host.Panel1 = "old";
    }
    ConversionRequest Request(const std::string& cp, int platform = 1, int version = 4) {
        return ConversionRequest{cp, platform, version, 0, 0, ws.Src().string() + "/"};
    }
    Workspace ws;
    ConversionJob job;
    RecordingHost host;
};

TEST_F(RequestCheckTest, NormalisesTheNameWhateverTheOutcome) {
    auto request = Request("  cp6001 ");
    EXPECT_FALSE(CheckRequest(request, job, host));
    EXPECT_EQ(request.CpNameText, "CP6001");
    EXPECT_EQ(host.Panel1, "");
    EXPECT_EQ(job.SourceDir, ws.Src().string());  // trailing separator removed
    EXPECT_EQ(job.DataFilePath, (ws.Data() / "ver51_620.dat").string());
    EXPECT_EQ(job.CompoundCount, 0);
    EXPECT_EQ(job.SourceFileCount, 0);
    EXPECT_EQ(job.PlatformIndex, Platform::Aw51);

    request = Request(" abc ");
    EXPECT_TRUE(CheckRequest(request, job, host));
    EXPECT_EQ(request.CpNameText, "ABC");
    EXPECT_EQ(NormaliseCpName("\xe9t\xe9\xf7x"), "\xc9T\xc9\xf7X");  // Latin-1 letters too
}

struct RefusalCase {
    const char* Cp;
    int Platform, Version, Source, Destination;
    const char* Text;
    const char* Title;
};

class Refusals : public RequestCheckTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, FirstFailingTestIsTheOneShownAndNothingIsPrepared) {
    const RefusalCase& c = GetParam();
    ConversionRequest request{c.Cp,     c.Platform,    c.Version,
                              c.Source, c.Destination, ws.Src().string()};
    EXPECT_FALSE(RequestConversion(request, job, host));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Icon, MessageIcon::Critical);
    EXPECT_EQ(host.Messages[0].Text, c.Text);
    EXPECT_EQ(host.Messages[0].Title, c.Title);
    EXPECT_EQ(job.CompoundCount, 99);  // counters change only when a run starts
    EXPECT_EQ(host.Freezes, 0);
    EXPECT_TRUE(fs::is_empty(ws.Out()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusals,
    ::testing::Values(
        RefusalCase{"", -1, 4, 0, 0, "No se a seleccionado un CP", "Nombre del CP"},
        RefusalCase{"      ", 1, 4, 0, 0, "No se a seleccionado un CP", "Nombre del CP"},
        RefusalCase{"CP600", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP"},
        RefusalCase{"CP60011", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP"},
        RefusalCase{"CP/001", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP"},
        RefusalCase{"CP:001", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP"},
        RefusalCase{"CP\t001", 1, 4, 0, 0, "Letterbug del CP incorrecto", "Nombre del CP"},
        RefusalCase{"CP6001", -1, 4, 0, 0, "No se a definido el tipo de equipo", "Plataforma"},
        RefusalCase{"CP6001", 1, -1, 0, 0, "No se ha seleccionado la version de I/A", "Version"},
        RefusalCase{"CP6001", 1, 9, 0, 0, "No se ha seleccionado la version de I/A", "Version"},
        RefusalCase{"CP6001", 1, 4, -1, 0, "No se ha seleccionado el formato de la fuente",
                    "Fuente"},
        RefusalCase{"CP6001", 1, 4, 0, -1, "No se ha seleccionado el formato del destino",
                    "Destino"},
        // Only the selected version's file counts: 411 exists for PW, not for AW.
        RefusalCase{"CP6001", 0, 4, 0, 0, "No se encuentra el archivo de datos",
                    "Archivo de datos"},
        RefusalCase{"CP6001", 2, 0, 0, 0, "No se encuentra el archivo de datos",
                    "Archivo de datos"}));

TEST_F(RequestCheckTest, PlatformChoosesTheDataFilePrefix) {
    auto request = Request("CP6001", 2);
    EXPECT_FALSE(CheckRequest(request, job, host));
    EXPECT_EQ(job.DataFilePath, (ws.Data() / "ver51_620.dat").string());
    request = Request("CP6001", 0, 0);
    EXPECT_FALSE(CheckRequest(request, job, host));
    EXPECT_EQ(job.DataFilePath, (ws.Data() / "ver20_411.dat").string());
}

}  // namespace
}  // namespace pamiro::testing
