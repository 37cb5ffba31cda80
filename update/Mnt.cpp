#include "update/Mnt.h"

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "common/Funcoes_Backup.h"
#include "common/Funcoes_Cifra.h"
#include "common/Funcoes_Mensagem.h"
#include "common/Funcoes_Veltrana.h"
#include "common/Globais.h"
#include "platform/Exception.h"
#include "platform/GuardedCall.h"
#include "platform/InputBlocker.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"
#include "update/NumericEdit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

void ResetMnt() {
    Tes_Usu_Log = false;
    Val_Atu_Ver = false;
    Ver_Dad_Atu = 0;
    Ver_Dad_Fut = 0;
    Usa_Ver_Exi = true;
    Ver_Exi = 18;
}

namespace {

const QString Crlf = QStringLiteral("\r\n");

// Colours of the classic palette the window was designed with.
const QColor Cor_Face(240, 240, 240); // button face
const QColor Cor_Amarelo(255, 255, 0);
const QColor Cor_Marinho(0, 0, 128);
const QColor Cor_Azul(0, 0, 255);
const QColor Cor_Verde(0, 128, 0);
const QColor Cor_Vermelho(255, 0, 0);
const QColor Cor_Azul_Petroleo(0, 128, 128); // teal
const QColor Cor_Preto(0, 0, 0);

QFont Fonte(const QString &Familia, int Pixels, bool Negrito, bool Sublinhado = false) {
    QFont f(Familia);
    f.setPixelSize(Pixels);
    f.setBold(Negrito);
    f.setUnderline(Sublinhado);
    return f;
}

QFont Arial(int Pixels, bool Negrito, bool Sublinhado = false) {
    return Fonte(QStringLiteral("Arial"), Pixels, Negrito, Sublinhado);
}

// Gives a widget its text colour in every state: the panels that hold the notice
// and the caption are disabled, and their texts must keep their colour.
void Cor_Texto(QWidget *w, const QColor &Cor) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, Cor);
    p.setColor(QPalette::Text, Cor);
    p.setColor(QPalette::ButtonText, Cor);
    w->setPalette(p);
}

TRelease Release_Configurada() {
    const QString Arquivo = Configuracao().Arquivo_Release;
    return Arquivo.isEmpty() ? Carrega_Release_Interna() : Carrega_Release(Arquivo);
}

// Clears a flag when the scope ends, also when an exception leaves it.
class Limpa_Ao_Sair {
public:
    explicit Limpa_Ao_Sair(bool &Flag) : flag_(Flag) { flag_ = true; }
    ~Limpa_Ao_Sair() { flag_ = false; }
    Limpa_Ao_Sair(const Limpa_Ao_Sair &) = delete;
    Limpa_Ao_Sair &operator=(const Limpa_Ao_Sair &) = delete;

private:
    bool &flag_;
};

} // namespace

Tfrm_Mnt::Tfrm_Mnt(QWidget *parent) : Tfrm_Mnt(Release_Configurada(), nullptr, parent) {}

Tfrm_Mnt::Tfrm_Mnt(const TRelease &Release, Tdm *Modulo, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      TMnt_Primitivas(Modulo), Release_(Release) {
    Usa_Ver_Exi = Release_.Usa_Ver_Exi;
    Ver_Exi = Release_.Ver_Exi;
    Cria_Componentes();
    FormCreate();
}

Tfrm_Mnt::~Tfrm_Mnt() = default;

void Tfrm_Mnt::Cria_Componentes() {
    setObjectName(QStringLiteral("frm_Mnt"));
    setWindowTitle(QStringLiteral("Atualiza a Base de Dados"));
    setFixedSize(354, 336);
    setFont(Arial(16, false));
    QPalette Pal = palette();
    Pal.setColor(QPalette::Window, Cor_Face);
    Pal.setColor(QPalette::Button, Cor_Face);
    setPalette(Pal);
    setAutoFillBackground(true);

    // Data panel: installation, gauges, versions, Executar and the options.
    pnl_Dad = new BevelPanel(this);
    pnl_Dad->setObjectName(QStringLiteral("pnl_Dad"));
    pnl_Dad->setGeometry(0, 0, 354, 230);

    lbl_Emp = new CaptionLabel(QStringLiteral("E M P R E S A"), pnl_Dad);
    lbl_Emp->setObjectName(QStringLiteral("lbl_Emp"));
    lbl_Emp->setGeometry(pnl_Dad->ClientRect().left(), 19, pnl_Dad->ClientRect().width(), 30);
    lbl_Emp->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbl_Emp->setFont(Arial(21, true, true));
    lbl_Emp->setAutoFillBackground(true);
    {
        QPalette p = lbl_Emp->palette();
        p.setColor(QPalette::Window, Cor_Amarelo);
        lbl_Emp->setPalette(p);
    }
    Cor_Texto(lbl_Emp, Cor_Marinho);

    lbl_Tot = new CaptionLabel(QStringLiteral("Total"), pnl_Dad);
    lbl_Tot->setObjectName(QStringLiteral("lbl_Tot"));
    lbl_Tot->setGeometry(20, 66, 70, 17);
    lbl_Par = new CaptionLabel(QStringLiteral("Parcial"), pnl_Dad);
    lbl_Par->setObjectName(QStringLiteral("lbl_Par"));
    lbl_Par->setGeometry(90, 66, 70, 17);
    for (CaptionLabel *l : {lbl_Tot, lbl_Par}) {
        l->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        l->setFont(Arial(13, true, true));
        Cor_Texto(l, Cor_Preto);
    }

    gg_Tot = new Gauge(pnl_Dad);
    gg_Tot->setObjectName(QStringLiteral("gg_Tot"));
    gg_Tot->setGeometry(20, 85, 70, 70);
    gg_Tot->SetMaxValue(22);
    gg_Tot->SetPosition(0);
    gg_Par = new Gauge(pnl_Dad);
    gg_Par->setObjectName(QStringLiteral("gg_Par"));
    gg_Par->setGeometry(90, 85, 70, 70);
    gg_Par->SetPosition(0);

    // Version box: disabled, so the two versions cannot be edited.
    grpbx_Ver = new QGroupBox(QStringLiteral("Versão dos Dados"), pnl_Dad);
    grpbx_Ver->setObjectName(QStringLiteral("grpbx_Ver"));
    grpbx_Ver->setGeometry(200, 60, 130, 100);
    grpbx_Ver->setFlat(true);
    // The caption's size is not the form's: at 16 pixels "Versão dos Dados" does
    // not fit in the box's 130 pixels.
    grpbx_Ver->setFont(Arial(13, true, true));
    Cor_Texto(grpbx_Ver, Cor_Azul_Petroleo);

    lbl_Bse_Atu = new CaptionLabel(QStringLiteral("Atual"), grpbx_Ver);
    lbl_Bse_Atu->setObjectName(QStringLiteral("lbl_Bse_Atu"));
    lbl_Bse_Atu->setGeometry(15, 32, 45, 19);
    lbl_Bse_Fut = new CaptionLabel(QStringLiteral("Futura"), grpbx_Ver);
    lbl_Bse_Fut->setObjectName(QStringLiteral("lbl_Bse_Fut"));
    lbl_Bse_Fut->setGeometry(72, 32, 55, 19);
    for (CaptionLabel *l : {lbl_Bse_Atu, lbl_Bse_Fut}) {
        l->setFont(Arial(13, true));
        Cor_Texto(l, Cor_Preto);
    }

    jvclcedt_Dad_Atu = new NumericEdit(grpbx_Ver);
    jvclcedt_Dad_Atu->setObjectName(QStringLiteral("jvclcedt_Dad_Atu"));
    jvclcedt_Dad_Atu->setGeometry(15, 56, 40, 27);
    jvclcedt_Dad_Fut = new NumericEdit(grpbx_Ver);
    jvclcedt_Dad_Fut->setObjectName(QStringLiteral("jvclcedt_Dad_Fut"));
    jvclcedt_Dad_Fut->setGeometry(75, 56, 40, 27);
    jvclcedt_Dad_Fut->SetValue(Release_.Ver_Dad_Fut);
    for (NumericEdit *e : {jvclcedt_Dad_Atu, jvclcedt_Dad_Fut}) {
        e->setFont(Arial(16, true));
        QPalette p = e->palette();
        p.setColor(QPalette::Base, Qt::white);
        e->setPalette(p);
    }
    Cor_Texto(jvclcedt_Dad_Atu, Cor_Vermelho);
    Cor_Texto(jvclcedt_Dad_Fut, Cor_Verde);
    grpbx_Ver->setEnabled(false);

    btbtn_Executar = new QPushButton(QStringLiteral("Executar"), pnl_Dad);
    btbtn_Executar->setObjectName(QStringLiteral("btbtn_Executar"));
    btbtn_Executar->setGeometry(20, 165, 140, 50);
    btbtn_Executar->setCursor(Qt::PointingHandCursor);
    btbtn_Executar->setFont(Fonte(QStringLiteral("MS Sans Serif"), 13, true));
    btbtn_Executar->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    btbtn_Executar->setIconSize(QSize(24, 24));
    btbtn_Executar->setAutoDefault(false);

    chckbx_Tes_Usu_Log = new QCheckBox(QStringLiteral("Testa usuários logados"), pnl_Dad);
    chckbx_Tes_Usu_Log->setObjectName(QStringLiteral("chckbx_Tes_Usu_Log"));
    chckbx_Tes_Usu_Log->setGeometry(170, 170, 178, 17);
    chckbx_Tes_Usu_Log->setChecked(true);
    chckbx_Tes_Usu_Log->setEnabled(false);
    chckbx_Val_Atu_Ver = new QCheckBox(QStringLiteral("Valida e atualiza versão"), pnl_Dad);
    chckbx_Val_Atu_Ver->setObjectName(QStringLiteral("chckbx_Val_Atu_Ver"));
    chckbx_Val_Atu_Ver->setGeometry(170, 190, 178, 17);
    chckbx_Val_Atu_Ver->setChecked(true);
    chckbx_Val_Atu_Ver->setEnabled(false);
    for (QCheckBox *c : {chckbx_Tes_Usu_Log, chckbx_Val_Atu_Ver}) {
        c->setFont(Arial(13, true));
        Cor_Texto(c, Cor_Azul);
    }

    // Notice panel.
    pnl_Avi = new BevelPanel(this);
    pnl_Avi->setObjectName(QStringLiteral("pnl_Avi"));
    pnl_Avi->setGeometry(0, 230, 354, 66);
    pnl_Avi->setEnabled(false);
    tmr_Avi = new QTimer(this);
    tmr_Avi->setObjectName(QStringLiteral("tmr_Avi"));
    tmr_Avi->setInterval(500);
    lbl_Avi = new CaptionLabel(QStringLiteral("MENSAGEM  do  BACKUP"), pnl_Avi);
    lbl_Avi->setObjectName(QStringLiteral("lbl_Avi"));
    lbl_Avi->setGeometry(pnl_Avi->ClientRect());
    lbl_Avi->setAlignment(Qt::AlignCenter);
    lbl_Avi->setFont(Arial(19, true));
    Cor_Texto(lbl_Avi, Cor_Vermelho);

    // Caption panel: the running group.
    pnl_Atu = new BevelPanel(this);
    pnl_Atu->setObjectName(QStringLiteral("pnl_Atu"));
    pnl_Atu->setGeometry(0, 296, 354, 40);
    pnl_Atu->setEnabled(false);
    lbl_Atu = new CaptionLabel(QStringLiteral("ATUALIZAÇÃO"), pnl_Atu);
    lbl_Atu->setObjectName(QStringLiteral("lbl_Atu"));
    lbl_Atu->setGeometry(pnl_Atu->ClientRect());
    lbl_Atu->setAlignment(Qt::AlignCenter);
    lbl_Atu->setFont(Arial(16, false));
    Cor_Texto(lbl_Atu, Cor_Azul);

    connect(tmr_Avi, &QTimer::timeout, this, platform::Guarded([this] { tmr_AviTimer(); }));
    connect(chckbx_Val_Atu_Ver, &QCheckBox::toggled, this,
            platform::Guarded([this](bool) { chckbx_Val_Atu_VerClick(); }));
    connect(btbtn_Executar, &QPushButton::clicked, this,
            platform::Guarded([this](bool) { btbtn_ExecutarClick(); }));
    tmr_Avi->start();

    btbtn_Executar->setFocus();
    platform::CenterOnScreen(*this);
}

// ---- Handlers ----

void Tfrm_Mnt::FormCreate() {
    chckbx_Val_Atu_Ver->setEnabled(Est_Sup);
    Tes_Usu_Log = chckbx_Tes_Usu_Log->isChecked();
    Val_Atu_Ver = chckbx_Val_Atu_Ver->isChecked();
    Ver_Dad_Fut = static_cast<qint32>(jvclcedt_Dad_Fut->Value());
}

bool Tfrm_Mnt::Versao_Fora_Sequencia() const {
    if (Usa_Ver_Exi)
        return Ver_Dad_Atu != Ver_Exi;
    return !(static_cast<qint64>(Ver_Dad_Fut) == static_cast<qint64>(Ver_Dad_Atu) + 1 || Est_Sup);
}

void Tfrm_Mnt::Recusa_Execucao(bool Recusa) {
    Recusada_ = Recusa;
    btbtn_Executar->setEnabled(!Recusa);
}

void Tfrm_Mnt::FormActivate() {
    // The dialogs of a run (a group's message, the final report) re-activate the
    // window; the captions then show the run's state and must stay as they are.
    if (Em_Execucao_)
        return;
    if (Val_Atu_Ver && Versao_Fora_Sequencia()) {
        // A schema at another version would be changed by statements written for
        // a different one: the run is refused, and the operator is told once.
        Recusa_Execucao(true);
        const qint64 Versao_Esperada = Usa_Ver_Exi ? Ver_Exi : static_cast<qint64>(Ver_Dad_Atu) + 1;
        Des_Err = QStringLiteral("DESCRIÇÃO DO ERRO:\r\n\r\nTela de Manutenção:\r\n\r\n"
                                 "Atualização fora de sequencia!\r\nRode a Atualização ") +
                  QString::number(Versao_Esperada);
        Err_Ver = true;
        if (!Avisou_Versao_) {
            Avisou_Versao_ = true;
            Mensagem(274, Crlf + Des_Err);
        }
        return;
    }
    Recusa_Execucao(false);
    lbl_Emp->SetCaption(QLocale().toUpper(TVeltranaToStr(Emp_Atu)));
    lbl_Avi->SetCaption(QStringLiteral("Sempre faça um \"BACKUP\" antes\r\n"
                                       "de realizar qualquer atualização."));
    jvclcedt_Dad_Atu->SetValue(Ver_Dad_Atu);
    grpbx_Ver->setVisible(Val_Atu_Ver);
    lbl_Atu->SetCaption(Est_Sup ? QStringLiteral("Logado = Veltrana")
                                : QStringLiteral("Atualização que será executada"));
}

void Tfrm_Mnt::FormKeyDown(quint16 &Key, Qt::KeyboardModifiers Shift) {
    const Qt::KeyboardModifiers Estado =
        Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (Key == Tecla::Enter) {
        if (btbtn_Executar->hasFocus())
            btbtn_Executar->click();
    } else if (Key == Tecla::Esc) {
        Fecha_Tela();
    } else if (Key == Tecla::F4 && Estado == Qt::AltModifier) {
        Fecha_Tela();
    } else if (Key == Tecla::F5) {
        if (btbtn_Executar->isEnabled())
            btbtn_Executar->click();
    }
    if (Key >= Tecla::F1 && Key <= Tecla::F12)
        Key = Tecla::Clear;
}

void Tfrm_Mnt::Fecha_Tela() {
    // A run closes the window itself once its report has been shown.
    if (Em_Execucao_)
        return;
    Fechou_Tela = true;
    close();
}

void Tfrm_Mnt::tmr_AviTimer() {
    lbl_Avi->setVisible(!lbl_Avi->isVisible());
}

void Tfrm_Mnt::chckbx_Val_Atu_VerClick() {
    Val_Atu_Ver = chckbx_Val_Atu_Ver->isChecked();
    grpbx_Ver->setVisible(Val_Atu_Ver);
    // Before a run, the box decides whether the version check applies; a support
    // workstation that unticks it may run on a schema at another version.
    if (!Em_Execucao_ && !Concluida_)
        Recusa_Execucao(Val_Atu_Ver && Versao_Fora_Sequencia());
}

void Tfrm_Mnt::btbtn_ExecutarClick() {
    // One run at a time: the groups process window messages, and a workstation
    // whose input is not blocked could otherwise start a run inside the run.
    if (Em_Execucao_ || Concluida_ || Recusada_)
        return;
    Limpa_Ao_Sair Executando(Em_Execucao_);

    try {
        tmr_Avi->stop();
        lbl_Avi->setVisible(true);
        lbl_Avi->SetCaption(QStringLiteral("Atualização em andamento.\r\nPor favor, aguarde..."));
        if (!Est_Sup)
            platform::InputBlocker::Block(true); // a failure goes unnoticed: input stays free

        for (int Grupo = 1; Grupo <= 22; ++Grupo) {
            if (!Erro)
                Executa_Grupo(Grupo);
        }
    } catch (const platform::Exception &E) {
        Erro = true;
        Num_Err += Crlf + E.Message();
    } catch (const std::exception &E) {
        // Not the program's own failure kind, but a failure all the same: it must
        // never end in the success branch below.
        Erro = true;
        Num_Err += Crlf + QString::fromUtf8(E.what());
    } catch (...) {
        Erro = true;
        Num_Err += Crlf + QStringLiteral("Erro desconhecido.");
    }

    platform::InputBlocker::Block(false);
    if (Erro) {
        lbl_Avi->SetCaption(QStringLiteral("Restauração da base de dados necessária\r\n"
                                           "Contate o suporte técnico para instruções"));
        const QString Texto = Crlf + lbl_Atu->Caption() + Crlf + Crlf + QStringLiteral("i = ") +
                              Num_Err + Crlf + Crlf + lbl_Avi->Caption();
        emit runEnded(false, Texto);
        Mensagem(274, Texto);
    } else {
        if (Val_Atu_Ver) {
            try {
                Grava_Versao();
            } catch (const platform::Exception &E) {
                emit runEnded(false, E.Message());
                throw;
            }
            if (!Est_Sup)
                Gera_Backup(Configuracao().Nme_Mod, jvclcedt_Dad_Fut->DisplayText(),
                            TVeltranaToStr(Emp_Atu));
        }
        gg_Tot->SetPosition(100);
        lbl_Avi->SetCaption(QStringLiteral("Operação finalizada\r\nAtualização sem erros"));
        emit runEnded(true, QString());
        Mensagem(270, QString());
    }
    lbl_Atu->SetCaption(QString());
    Concluida_ = true;
    Em_Execucao_ = false; // the window may close now
    close();
}

void Tfrm_Mnt::Executa_Grupo(int Grupo) {
    switch (Grupo) {
    case 1:
        Grupo_01_Renomeia_Tabela();
        break;
    case 2:
        Grupo_02_Renomeia_Sequencia();
        break;
    case 3:
        Grupo_03_Renomeia_Campo();
        break;
    case 4:
        Grupo_04_Altera_Campo();
        break;
    case 5:
        Grupo_05_Cria_Tabela();
        break;
    case 6:
        Grupo_06_Cria_Sequencia();
        break;
    case 7:
        Grupo_07_Cria_Preenche_Campo();
        break;
    case 8:
        Grupo_08_Cria_Reordena_Campo();
        break;
    case 9:
        Grupo_09_Preenche_Campo();
        break;
    case 10:
        Grupo_10_Exclui_Tabela();
        break;
    case 11:
        Grupo_11_Exclui_Sequencia();
        break;
    case 12:
        Grupo_12_Exclui_Campo();
        break;
    case 13:
        Grupo_13_Exclui_Registro();
        break;
    case 14:
        Grupo_14_Exclui_Arquivo();
        break;
    case 15:
        Grupo_15_Renomeia_Arquivo();
        break;
    case 16:
        Grupo_16_Substitui_String();
        break;
    case 17:
        Grupo_17_Inclui_Operacoes();
        break;
    case 18:
        Grupo_18_Roda_Programa();
        break;
    case 19:
        Grupo_19_Exclui_Tela();
        break;
    case 20:
        Grupo_20_Inclui_Tela();
        break;
    case 21:
        Grupo_21_Onde_Usa_Campo();
        break;
    case 22:
        Grupo_22_Diferenca_Estoque_Romaneio();
        break;
    default:
        break;
    }
}

void Tfrm_Mnt::Grava_Versao() {
    const QString Versao = jvclcedt_Dad_Fut->DisplayText();
    // The shown text is what gets stored; an empty one would blank CFG.VER_DAD and
    // leave a schema that no start-up can read.
    if (Versao.isEmpty())
        throw platform::Exception(QStringLiteral("Versão futura inválida: a versão dos dados "
                                                 "não foi gravada."));
    platform::db::Query &q = *Modulo()->fdqry_Atualiza;
    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("update CFG set VER_DAD = ") +
              QuotedStr(Cifra_Texto(QStringLiteral("C"), Versao, Chave_Cifra())));
    q.ExecSQL();
}

// ---- Events ----

bool Tfrm_Mnt::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate)
        platform::GuardedCall([this] { FormActivate(); });
    return QWidget::event(e);
}

void Tfrm_Mnt::showEvent(QShowEvent *e) {
    QWidget::showEvent(e);
    if (!Centralizada_) {
        Centralizada_ = true;
        platform::CenterOnScreen(*this);
    }
    Previa_Teclas_->Watch(windowHandle());
}

void Tfrm_Mnt::closeEvent(QCloseEvent *e) {
    // During a run the window stays: the run closes it itself once the report has
    // been shown.
    if (Em_Execucao_) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}
