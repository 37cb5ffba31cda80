#pragma once

// The data module: the tool's one connection to the business system's schema and
// the query components through which every unit reads and changes the database.

#include "platform/database/Database.h"

#include <QObject>
#include <memory>

using platform::db::QuotedStr;

class Tdm : public QObject {
    Q_OBJECT

public:
    // Creating the module sets the connection parameters; it does not connect.
    explicit Tdm(QObject *owner = nullptr);
    ~Tdm() override;

    const std::unique_ptr<platform::db::Connection> FDConnection;
    const std::unique_ptr<platform::db::Query> fdqry_Temp;
    const std::unique_ptr<platform::db::Query> fdqry_Auxiliar;
    const std::unique_ptr<platform::db::Query> fdqry_Atualiza;
    const std::unique_ptr<platform::db::Query> fdqry_Funcao;

    // Replaces the connection parameters by the four of the settings:
    // DriverID, Database, User_Name, Password.
    void DataModuleCreate();
};

// Environment variable that supplies the schema password when the settings hold none.
inline constexpr const char *Variavel_Senha_Banco = "ATUALIZA_DB_PASSWORD";

// The program's data module (created by start-up, owned by the application object).
inline Tdm *dm = nullptr;
