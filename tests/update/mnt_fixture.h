#pragma once

// The update window on a demo schema at data version 18, installation Empresa11,
// with scripted dialogs and the backup scripts written into a temporary folder.

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "common/Funcoes_Cifra.h"
#include "common/Globais.h"
#include "platform/Application.h"
#include "platform/DialogsScripted.h"
#include "platform/InputBlocker.h"
#include "platform/database/embedded/EmbeddedEngine.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"
#include "update/Mnt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace mnttest {

// Shows a window and waits until it is the active window.
inline bool Ativa(QWidget *w) {
    w->show();
    w->activateWindow();
    return testsupport::WaitUntil([w] { return w->isActiveWindow(); });
}

// The seven files of the backup and restore scripts.
inline const QStringList Arquivos_Backup = {
    QStringLiteral("Parametros"),          QStringLiteral("0-Backup.bat"),
    QStringLiteral("1-Manha.bat"),         QStringLiteral("2-Tarde.bat"),
    QStringLiteral("3-Noite.bat"),         QStringLiteral("0-Restore.bat"),
    QStringLiteral("Drop_Create_User.sql")};

// A release at future version 1 for a schema at 18, every group switched off.
inline TRelease Release_Desligada() {
    TRelease r;
    r.Ver_Dad_Fut = 1;
    r.Usa_Ver_Exi = true;
    r.Ver_Exi = 18;
    return r;
}

class MntFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobais();
        ResetMnt();
        ResetConfiguracao();
        platform::ResetTermination();
        QApplication::setQuitOnLastWindowClosed(false);
        dm = &db.Dm();
        pasta = db.Folder() + QStringLiteral("/dados/");
        QDir().mkpath(pasta);
        Configuracao().Pasta_Dados = pasta;
        db.Exec(QStringLiteral("insert into CFG (COD, VER_DAD) values (1, %1)")
                    .arg(QuotedStr(
                        Cifra_Texto(QStringLiteral("C"), QStringLiteral("18"), Chave_Cifra()))));
        db.Exec(QStringLiteral("insert into PRM_GER (COD, PST_BKP) values (1, 'E:')"));
        Emp_Atu = TVeltrana::Empresa11;
        Ver_Dad_Atu = 18;
        dialogs = new platform::ScriptedDialogs;
        scoped =
            std::make_unique<platform::ScopedDialogs>(std::unique_ptr<platform::Dialogs>(dialogs));
        db.ClearLog();
    }

    void TearDown() override {
        frm.reset();
        platform::InputBlocker::Block(false);
        dm = nullptr;
        ResetGlobais();
        ResetMnt();
        ResetConfiguracao();
        platform::ResetTermination();
    }

    // Creates the form (as start-up does, after the globals are known), shows it
    // and waits for its first activation.
    template <class Form = Tfrm_Mnt> Form *Abre(const TRelease &release = Release_Desligada()) {
        auto *f = new Form(release, &db.Dm());
        frm.reset(f);
        Mostra();
        return f;
    }

    void Mostra() { ASSERT_TRUE(Ativa(frm.get())); }

    // A key pressed on the window: delivered to its native window, which hands it
    // to the focused control, as the window system does.
    void Tecla(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(frm->windowHandle(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QCoreApplication::sendEvent(frm->windowHandle(), &release);
    }

    platform::db::embedded::EmbeddedEngine &Engine() {
        auto *e = dynamic_cast<platform::db::embedded::EmbeddedEngine *>(
            db.Dm().FDConnection->CurrentBackend());
        if (e == nullptr)
            throw std::logic_error("the test database is not on the embedded engine");
        return *e;
    }

    QStringList Arquivos_Escritos() const { return QDir(pasta).entryList(QDir::Files, QDir::Name); }

    QStringList Textos_Mostrados() const {
        QStringList t;
        for (const platform::RecordedDialog &d : dialogs->Shown())
            t << d.text;
        return t;
    }

    testsupport::TestDatabase db;
    QString pasta;
    platform::ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<platform::ScopedDialogs> scoped;
    std::unique_ptr<Tfrm_Mnt> frm;
};

} // namespace mnttest
