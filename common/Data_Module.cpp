#include "common/Data_Module.h"

#include "common/Configuracao.h"

Tdm::Tdm(QObject *owner)
    : QObject(owner), FDConnection(std::make_unique<platform::db::Connection>()),
      fdqry_Temp(std::make_unique<platform::db::Query>(FDConnection.get())),
      fdqry_Auxiliar(std::make_unique<platform::db::Query>(FDConnection.get())),
      fdqry_Atualiza(std::make_unique<platform::db::Query>(FDConnection.get())),
      fdqry_Funcao(std::make_unique<platform::db::Query>(FDConnection.get())) {
    setObjectName(QStringLiteral("dm"));
    DataModuleCreate();
}

Tdm::~Tdm() {
    if (dm == this)
        dm = nullptr;
}

void Tdm::DataModuleCreate() {
    const TConfiguracao &cfg = Configuracao();
    QString password = cfg.Password;
    if (password.isEmpty())
        password = qEnvironmentVariable(Variavel_Senha_Banco);
    FDConnection->Params.clear();
    FDConnection->Params << QStringLiteral("DriverID=") + cfg.DriverID
                         << QStringLiteral("Database=") + cfg.Database
                         << QStringLiteral("User_Name=") + cfg.User_Name
                         << QStringLiteral("Password=") + password;
    FDConnection->OracleOdbcDriver = cfg.OracleOdbcDriver;
}
