#include "users/Usu_Log.h"

#include "common/Data_Module.h"
#include "common/Funcoes_Mensagem.h"
#include "platform/GuardedCall.h"
#include "platform/ProcessKiller.h"
#include "platform/database/Database.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QWindow>
#include <cmath>
#include <cstdint>
#include <limits>

void ResetUsu_Log() {
    Exi_Usu_Log = false;
    frm_Usu_Log = nullptr;
}

namespace {

const QString Crlf = QStringLiteral("\r\n");

struct TColuna {
    const char *Campo;
    QString Titulo;
    int Largura;
};

const TColuna Colunas[] = {
    {"PID", QStringLiteral("PID"), 45},         {"USU", QStringLiteral("USUÁRIO"), 110},
    {"CPU", QStringLiteral("COMPUTADOR"), 150}, {"TRS", QStringLiteral("TRS"), 30},
    {"LGN", QStringLiteral("LOGON"), 110},
};

// The shared colouring of the business system's forms: the control with the
// input focus gets the focus colour of its kind, every other listed control the
// system's window colour. Controls that Qt creates inside others (named "qt_...")
// are parts of their owner, not controls of the form.
void Colore_Campos(QWidget *Form) {
    const QColor Azul_Ceu(166, 202, 240);
    const QPalette Sistema = QApplication::palette();
    for (QWidget *w : Form->findChildren<QWidget *>()) {
        const QString Nome = w->objectName();
        if (Nome.isEmpty() || Nome.startsWith(QLatin1String("qt_")))
            continue;
        QColor Foco;
        if (qobject_cast<QLineEdit *>(w) != nullptr)
            Foco = Azul_Ceu;
        else if (qobject_cast<QTableView *>(w) != nullptr)
            Foco = Sistema.color(QPalette::HighlightedText);
        else if (qobject_cast<QAbstractSpinBox *>(w) != nullptr ||
                 qobject_cast<QTextEdit *>(w) != nullptr ||
                 qobject_cast<QPlainTextEdit *>(w) != nullptr ||
                 qobject_cast<QListView *>(w) != nullptr)
            Foco = Azul_Ceu;
        else if (qobject_cast<QComboBox *>(w) != nullptr || qobject_cast<QCheckBox *>(w) != nullptr)
            Foco = Azul_Ceu; // Qt always draws their focus rectangle
        else
            continue;
        QPalette p = w->palette();
        p.setColor(QPalette::Base, w->hasFocus() ? Foco : Sistema.color(QPalette::Base));
        w->setPalette(p);
    }
}

TPID_Usu_Log Recusa(const QString &Motivo) {
    TPID_Usu_Log r;
    r.Motivo = Motivo;
    return r;
}

} // namespace

TPID_Usu_Log Valida_PID(const QVariant &PID) {
    if (!PID.isValid() || PID.isNull())
        return Recusa(QStringLiteral("O registro não tem PID."));
    qint64 Valor = 0;
    switch (PID.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        Valor = PID.toLongLong();
        break;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (PID.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return Recusa(QStringLiteral("O PID ") + PID.toString() +
                          QStringLiteral(" não é um número de processo válido."));
        Valor = static_cast<qint64>(PID.toULongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = PID.toDouble();
        if (!std::isfinite(d) || std::trunc(d) != d || std::fabs(d) > 1e15)
            return Recusa(QStringLiteral("O PID ") + PID.toString() +
                          QStringLiteral(" não é um número inteiro."));
        Valor = static_cast<qint64>(d);
        break;
    }
    default: {
        // A text (another database may hand the column over as one): only
        // decimal digits, with an optional minus sign, are a number.
        static const QRegularExpression Inteiro(QStringLiteral("^-?[0-9]{1,15}$"));
        const QString Texto = PID.toString();
        if (!Inteiro.match(Texto).hasMatch())
            return Recusa(QStringLiteral("O PID \"") + Texto +
                          QStringLiteral("\" não é um número inteiro."));
        Valor = Texto.toLongLong();
        break;
    }
    }
    const QString Numero = QString::number(Valor);
    switch (platform::CheckPid(Valor)) {
    case platform::PidCheck::Allowed:
        break;
    case platform::PidCheck::NotPositive:
        return Recusa(QStringLiteral("O PID ") + Numero +
                      QStringLiteral(" não é um número de processo válido."));
    case platform::PidCheck::TooLarge:
        return Recusa(QStringLiteral("O PID ") + Numero +
                      QStringLiteral(" não é um número de processo válido."));
    case platform::PidCheck::SystemInit:
        return Recusa(QStringLiteral("O PID 1 é o processo inicial do sistema operacional."));
    case platform::PidCheck::OwnProcess:
        return Recusa(QStringLiteral("O PID ") + Numero +
                      QStringLiteral(" é o deste programa de atualização."));
    }
    TPID_Usu_Log r;
    r.Valido = true;
    r.Valor = Valor;
    r.Texto = Numero;
    return r;
}

QString Formata_Logon(const QDateTime &LGN) {
    if (!LGN.isValid())
        return QString();
    return QLocale::system().toString(LGN, QLocale::ShortFormat);
}

Tfrm_Usu_Log::Tfrm_Usu_Log(Tdm *Modulo, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      fdqry_Usu_Log(std::make_unique<platform::db::Query>(
          (Modulo != nullptr ? Modulo : dm)->FDConnection.get())),
      Modulo_(Modulo != nullptr ? Modulo : dm) {
    Cria_Componentes();
    FormCreate();
}

Tfrm_Usu_Log::~Tfrm_Usu_Log() = default;

void Tfrm_Usu_Log::Cria_Componentes() {
    setObjectName(QStringLiteral("frm_Usu_Log"));
    setWindowTitle(QStringLiteral("003 - Usuários Logados"));
    setFixedSize(489, 377);
    setSizeGripEnabled(false);

    pnl_Dad = new QFrame(this);
    pnl_Dad->setObjectName(QStringLiteral("pnl_Dad"));
    pnl_Dad->setGeometry(0, 0, 489, 377 - 60);

    dtsrc_Dis = new QStandardItemModel(0, int(std::size(Colunas)), this);
    dtsrc_Dis->setObjectName(QStringLiteral("dtsrc_Dis"));
    QFont Fonte_Titulo = font();
    Fonte_Titulo.setBold(true);
    Fonte_Titulo.setUnderline(true);
    for (int c = 0; c < int(std::size(Colunas)); ++c) {
        dtsrc_Dis->setHeaderData(c, Qt::Horizontal, Colunas[c].Titulo, Qt::DisplayRole);
        dtsrc_Dis->setHeaderData(c, Qt::Horizontal, int(Qt::AlignCenter), Qt::TextAlignmentRole);
        dtsrc_Dis->setHeaderData(c, Qt::Horizontal, Fonte_Titulo, Qt::FontRole);
    }

    dbgrd = new QTableView(pnl_Dad);
    dbgrd->setObjectName(QStringLiteral("dbgrd"));
    dbgrd->setGeometry(0, 0, pnl_Dad->width(), pnl_Dad->height());
    dbgrd->setModel(dtsrc_Dis);
    dbgrd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgrd->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgrd->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgrd->setShowGrid(true);
    dbgrd->setWordWrap(false); // one line per row, as the grid was designed
    dbgrd->setTabKeyNavigation(true);
    dbgrd->horizontalHeader()->setVisible(true);
    dbgrd->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    dbgrd->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    dbgrd->verticalHeader()->setVisible(true); // the row indicator
    for (int c = 0; c < int(std::size(Colunas)); ++c)
        dbgrd->setColumnWidth(c, Colunas[c].Largura);

    pnl_Sair = new QFrame(this);
    pnl_Sair->setObjectName(QStringLiteral("pnl_Sair"));
    pnl_Sair->setGeometry(0, 377 - 60, 489, 60);

    spdbtn_Desconectar = new QToolButton(pnl_Sair);
    spdbtn_Desconectar->setObjectName(QStringLiteral("spdbtn_Desconectar"));
    spdbtn_Desconectar->setText(QStringLiteral("&Desconectar"));
    spdbtn_Desconectar->setToolTip(
        QStringLiteral("<F8> - Desconectar | Desconecta o registro selecionado"));
    spdbtn_Desconectar->setGeometry(489 - 192, 0, 192, 60);

    spdbtn_Atualizar = new QToolButton(pnl_Sair);
    spdbtn_Atualizar->setObjectName(QStringLiteral("spdbtn_Atualizar"));
    spdbtn_Atualizar->setText(QStringLiteral("&Atualizar"));
    spdbtn_Atualizar->setToolTip(QStringLiteral("<F5> - Atualizar | Atualiza os dados da tela"));
    spdbtn_Atualizar->setGeometry(0, 0, 489 - 192, 60);

    for (QToolButton *b : {spdbtn_Atualizar, spdbtn_Desconectar}) {
        b->setAutoRaise(true);          // flat
        b->setFocusPolicy(Qt::NoFocus); // like a speed button: the grid keeps the focus
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }

    fdqry_Usu_Log->SQL.Add(QStringLiteral("select * from USU_LOG order by TRS desc, CPU, LGN"));

    connect(spdbtn_Atualizar, &QToolButton::clicked, this,
            platform::Guarded([this](bool) { spdbtn_AtualizarClick(); }));
    connect(spdbtn_Desconectar, &QToolButton::clicked, this,
            platform::Guarded([this](bool) { spdbtn_DesconectarClick(); }));

    dbgrd->setFocus();
    platform::CenterOnScreen(*this);
}

// ---- The list ----

void Tfrm_Usu_Log::Atualiza() {
    platform::db::Query &q = *fdqry_Usu_Log;
    q.Close();
    q.Open();
    QList<TUsu_Log> Lista;
    for (q.First(); !q.Eof(); q.Next()) {
        TUsu_Log r;
        r.PID = q.FieldByName(QStringLiteral("PID")).Value();
        r.USU = q.FieldByName(QStringLiteral("USU")).AsString();
        r.CPU = q.FieldByName(QStringLiteral("CPU")).AsString();
        r.TRS = q.FieldByName(QStringLiteral("TRS")).Value();
        r.LGN = q.FieldByName(QStringLiteral("LGN")).AsDateTime();
        Lista.append(r);
    }
    Registros_ = Lista;
    Exi_Usu_Log = !Registros_.isEmpty();
    Preenche_Grade();
    if (!Exi_Usu_Log)
        close();
}

void Tfrm_Usu_Log::Preenche_Grade() {
    dtsrc_Dis->removeRows(0, dtsrc_Dis->rowCount());
    for (const TUsu_Log &r : Registros_) {
        const QString Textos[] = {r.PID.isNull() ? QString() : r.PID.toString(), r.USU, r.CPU,
                                  r.TRS.isNull() ? QString() : r.TRS.toString(),
                                  Formata_Logon(r.LGN)};
        QList<QStandardItem *> Linha;
        for (const QString &t : Textos) {
            auto *Item = new QStandardItem(t);
            Item->setTextAlignment(Qt::AlignCenter);
            Item->setEditable(false);
            Linha.append(Item);
        }
        dtsrc_Dis->appendRow(Linha);
    }
    // As a reopened data set: the first row is the current one.
    if (!Registros_.isEmpty())
        dbgrd->setCurrentIndex(dtsrc_Dis->index(0, 0));
}

int Tfrm_Usu_Log::Linha_Atual() const {
    if (Registros_.isEmpty())
        return -1;
    const QModelIndex i = dbgrd->currentIndex();
    return i.isValid() ? i.row() : 0;
}

bool Tfrm_Usu_Log::Desconecta(int Linha) {
    if (Linha < 0 || Linha >= Registros_.size())
        return false;
    const TUsu_Log Registro = Registros_[Linha];
    // The PID comes from a table: a wrong one would end an unrelated process, the
    // system's first one or this program itself.
    const TPID_Usu_Log PID = Valida_PID(Registro.PID);
    const QString Mantido =
        Crlf + QStringLiteral("Nenhum processo foi encerrado e o registro de ") + Registro.USU +
        QStringLiteral(" no computador ") + Registro.CPU + QStringLiteral(" foi mantido.");
    if (!PID.Valido) {
        Mensagem(274, Crlf + PID.Motivo + Mantido);
        return false;
    }
    if (!platform::CurrentProcessKiller().Kill(PID.Valor, static_cast<quintptr>(internalWinId()))) {
        Mensagem(274, Crlf + QStringLiteral("O processo ") + PID.Texto +
                          QStringLiteral(" não pode ser encerrado.") + Mantido);
        return false;
    }
    // Whether the process existed or ended is not known here: the row goes all the same.
    platform::db::Query &q = *Modulo_->fdqry_Atualiza;
    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("delete from USU_LOG where PID = ") + PID.Texto +
              QStringLiteral(" and CPU = ") + QuotedStr(Registro.CPU));
    q.ExecSQL();
    Atualiza();
    return true;
}

// ---- Handlers ----

void Tfrm_Usu_Log::FormCreate() {
    Atualiza();
}

void Tfrm_Usu_Log::FormActivate() {
    Colore_Campos(this);
}

void Tfrm_Usu_Log::FormKeyDown(quint16 &Key, Qt::KeyboardModifiers Shift) {
    const Qt::KeyboardModifiers Estado =
        Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (Key == Tecla::Esc)
        close();
    else if (Key == Tecla::F4 && Estado == Qt::AltModifier)
        close();
    else if (Key == Tecla::F5)
        spdbtn_Atualizar->click();
    else if (Key == Tecla::F8)
        spdbtn_Desconectar->click();
    if (Key >= Tecla::F1 && Key <= Tecla::F12)
        Key = Tecla::Clear;
}

void Tfrm_Usu_Log::spdbtn_AtualizarClick() {
    Atualiza();
}

void Tfrm_Usu_Log::spdbtn_DesconectarClick() {
    Desconecta(Linha_Atual());
}

// ---- Events ----

bool Tfrm_Usu_Log::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate)
        platform::GuardedCall([this] { FormActivate(); });
    return QDialog::event(e);
}

void Tfrm_Usu_Log::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (!Centralizada_) {
        Centralizada_ = true;
        platform::CenterOnScreen(*this);
    }
    Previa_Teclas_->Watch(windowHandle());
}

bool Tfrm_Usu_Log::nativeEvent(const QByteArray &eventType, void *message, qintptr *result) {
#ifdef Q_OS_WIN
    // Only the title bar's close button passes (SC_CLOSE with a position): no
    // moving, minimising or system menu by keyboard. Alt+F4 sends SC_CLOSE
    // without a position; the key handler closes the window for it.
    if (eventType == "windows_generic_MSG") {
        // The leading fields of the Win32 MSG structure.
        struct Mensagem_Win {
            void *hwnd;
            unsigned int message;
            std::uintptr_t wParam;
            std::intptr_t lParam;
        };
        const auto *m = static_cast<const Mensagem_Win *>(message);
        constexpr unsigned int WM_SYSCOMMAND_ = 0x0112;
        constexpr std::uintptr_t SC_CLOSE_ = 0xF060;
        if (m->message == WM_SYSCOMMAND_ &&
            !(m->wParam == SC_CLOSE_ && (m->lParam & 0xFFFFFFFF) != 0)) {
            *result = 0;
            return true;
        }
    }
#endif
    // Elsewhere the window manager owns the title bar: the window offers only the
    // close button, but moving it cannot be refused.
    return QDialog::nativeEvent(eventType, message, result);
}
