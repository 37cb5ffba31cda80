// The update window's pie gauges and read-only version edits.

#include "update/Gauge.h"
#include "update/NumericEdit.h"

#include <QImage>
#include <climits>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Texts in failure messages as text, not as arrays of characters.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct CasoGauge {
    int maximo;
    int posicao;  // value set
    int guardada; // position kept
    int percentual;
};

TEST(Gauge, KeepsThePositionWithinTheMaximumAndTruncatesThePercentage) {
    const std::vector<CasoGauge> casos = {
        {22, 0, 0, 0},
        {22, 1, 1, 4},
        {22, 2, 2, 9},
        {22, 21, 21, 95},
        {22, 22, 22, 100},
        {22, 100, 22, 100}, // the driver's "full" after a good run
        {22, -5, 0, 0},
        {3, 2, 2, 66},
        {100, 57, 57, 57},
        {0, 5, 0, 0},
        {INT_MAX, INT_MAX, INT_MAX, 100},
        {INT_MAX, INT_MAX / 2, INT_MAX / 2, 49},
    };
    for (const CasoGauge &c : casos) {
        Gauge g;
        g.SetMaxValue(c.maximo);
        g.SetPosition(c.posicao);
        EXPECT_EQ(g.Position(), c.guardada) << c.posicao << " de " << c.maximo;
        EXPECT_EQ(g.PercentDone(), c.percentual) << c.posicao << " de " << c.maximo;
        EXPECT_EQ(g.Text(), QString::number(c.percentual) + "%");
    }
}

TEST(Gauge, ProgressStopsAtTheMaximumAndFollowsALowerMaximum) {
    Gauge g;
    g.SetMaxValue(999);
    g.SetPosition(1);
    for (int n = 1; n <= 999; ++n)
        g.AddProgress(1);
    EXPECT_EQ(g.Position(), 999);

    g.SetMaxValue(20);
    EXPECT_EQ(g.Position(), 20);
    g.SetMaxValue(-3);
    EXPECT_EQ(g.MaxValue(), 0);
    EXPECT_EQ(g.PercentDone(), 0);

    g.SetMaxValue(INT_MAX);
    g.SetPosition(INT_MAX);
    g.AddProgress(1); // no wrap-around
    EXPECT_EQ(g.Position(), INT_MAX);
    g.AddProgress(INT_MIN);
    EXPECT_EQ(g.Position(), 0);
}

TEST(Gauge, ReportsOnlyRealChanges) {
    Gauge g;
    g.SetMaxValue(100);
    std::vector<std::pair<int, int>> vistos;
    QObject::connect(&g, &Gauge::changed, [&vistos](int posicao, int maximo) {
        vistos.push_back({posicao, maximo});
    });
    g.AddProgress(1);
    g.SetPosition(1);   // same
    g.SetMaxValue(100); // same
    g.SetPosition(500); // clamped to 100
    g.AddProgress(1);   // still 100
    g.SetMaxValue(22);
    EXPECT_EQ(vistos, (std::vector<std::pair<int, int>>{{1, 100}, {100, 100}, {22, 22}}));
}

// The disc fills clockwise from twelve o'clock: a quarter is the upper right quadrant.
TEST(Gauge, PaintsThePieClockwiseFromTheTop) {
    const QColor fundo = Qt::white;
    const QColor cheio(185, 209, 234);
    struct CasoPintura {
        int posicao, maximo;
        QColor direita_alto, esquerda_alto, direita_baixo;
    };
    const std::vector<CasoPintura> casos = {
        {0, 22, fundo, fundo, fundo},
        {25, 100, cheio, fundo, fundo},
        {50, 100, cheio, fundo, cheio},
        {100, 22, cheio, cheio, cheio},
    };
    for (const CasoPintura &c : casos) {
        Gauge g;
        g.resize(70, 70);
        EXPECT_EQ(g.ForeColor(), cheio);
        g.SetMaxValue(c.maximo);
        g.SetPosition(c.posicao);
        const QImage imagem = g.grab().toImage();
        EXPECT_EQ(imagem.pixelColor(50, 14), c.direita_alto) << c.posicao << " de " << c.maximo;
        EXPECT_EQ(imagem.pixelColor(20, 14), c.esquerda_alto) << c.posicao << " de " << c.maximo;
        EXPECT_EQ(imagem.pixelColor(50, 56), c.direita_baixo) << c.posicao << " de " << c.maximo;
    }
}

TEST(NumericEdit, DisplayFormatHashShowsWholeDigitsWithoutSeparatorsAndNothingForZero) {
    const std::vector<std::pair<double, QString>> casos = {
        {0, ""},    {18, "18"}, {1, "1"},       {1234567, "1234567"},
        {-5, "-5"}, {1.4, "1"}, {2.5, "3"},     {-2.5, "-3"},
        {0.4, ""},  {0.5, "1"}, {99.99, "100"}, {2147483648.0, "2147483648"},
    };
    for (const auto &[valor, texto] : casos)
        EXPECT_EQ(NumericEdit::Format(valor), texto) << valor;
}

TEST(NumericEdit, ShowsItsValueCentredAndCannotBeEdited) {
    NumericEdit e;
    e.SetValue(18);
    EXPECT_EQ(e.Value(), 18);
    EXPECT_EQ(e.text(), "18");
    EXPECT_EQ(e.DisplayText(), "18");
    EXPECT_TRUE(e.isReadOnly());
    EXPECT_EQ(e.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    e.SetValue(0);
    EXPECT_EQ(e.text(), "");
}

} // namespace
