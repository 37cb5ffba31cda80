#pragma once

// The two plain components of the update window that Qt has no exact match for:
// a panel with the classic raised outer bevel, a border and a lowered inner bevel,
// and a label that keeps its caption exactly as assigned.

#include <QLabel>
#include <QString>
#include <QWidget>

// Panel: outer bevel raised, inner bevel lowered, each BevelWidth wide, with
// BorderWidth between them. Children are placed in panel coordinates.
class BevelPanel : public QWidget {
    Q_OBJECT

public:
    explicit BevelPanel(QWidget *parent = nullptr, int bevelWidth = 2, int borderWidth = 2);

    // The area inside both bevels and the border.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int bevelWidth_;
    int borderWidth_;
};

// Label whose Caption() is exactly the text assigned (line breaks "\r\n"
// included); on screen a "\r\n" pair breaks the line once.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    explicit CaptionLabel(const QString &caption, QWidget *parent = nullptr);

    const QString &Caption() const { return caption_; }
    void SetCaption(const QString &caption);

private:
    QString caption_;
};
