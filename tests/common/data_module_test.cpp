#include "common/Configuracao.h"
#include "common/Data_Module.h"

#include <gtest/gtest.h>

namespace {

class DataModule : public ::testing::Test {
protected:
    void SetUp() override {
        ResetConfiguracao();
        qunsetenv(Variavel_Senha_Banco);
    }
    void TearDown() override {
        ResetConfiguracao();
        qunsetenv(Variavel_Senha_Banco);
    }
};

TEST_F(DataModule, CreationSetsTheFourParametersAndDoesNotConnect) {
    Configuracao().Password = QStringLiteral("SEGREDO");
    Tdm module;
    EXPECT_EQ(
        module.FDConnection->Params,
        (QStringList{QStringLiteral("DriverID=Ora"), QStringLiteral("Database=XE"),
                     QStringLiteral("User_Name=TALVERO"), QStringLiteral("Password=SEGREDO")}));
    EXPECT_FALSE(module.FDConnection->Connected());
}

TEST_F(DataModule, PasswordComesFromTheEnvironmentWhenTheSettingsHaveNone) {
    qputenv(Variavel_Senha_Banco, "DO_AMBIENTE");
    {
        Tdm module;
        EXPECT_EQ(module.FDConnection->Param(QStringLiteral("Password")),
                  QStringLiteral("DO_AMBIENTE"));
    }
    Configuracao().Password = QStringLiteral("DO_INI");
    Tdm module;
    EXPECT_EQ(module.FDConnection->Param(QStringLiteral("Password")), QStringLiteral("DO_INI"));
}

TEST_F(DataModule, RecreationReplacesWhateverParametersTheConnectionHeld) {
    Tdm module;
    module.FDConnection->Params << QStringLiteral("Extra=1");
    Configuracao().DriverID = QStringLiteral("Embedded");
    Configuracao().Database = QStringLiteral("/tmp/x.db");
    module.DataModuleCreate();
    EXPECT_EQ(module.FDConnection->Params.size(), 4);
    EXPECT_EQ(module.FDConnection->Param(QStringLiteral("DriverID")), QStringLiteral("Embedded"));
    EXPECT_EQ(module.FDConnection->Param(QStringLiteral("Database")), QStringLiteral("/tmp/x.db"));
}

} // namespace
