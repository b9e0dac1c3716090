#include "screenrenderer.h"

#include "artwork.h"
#include "mainwindow.h"
#include "playerdialog.h"
#include "race/screenmodel.h"
#include "registrationedit.h"
#include "twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>

namespace rusena {

namespace {

void setCaption(QLabel *label, const QString &caption)
{
    if (label->text() != caption)
        label->setText(caption);
}

void setColours(QLabel *label, const QColor &foreground, const QColor &background)
{
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) == foreground
        && palette.color(QPalette::Window) == background)
        return;
    palette.setColor(QPalette::WindowText, foreground);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
}

void renderBox(const Box &box, QLabel *label, const QColor &neutralText)
{
    setCaption(label, box.caption);
    setColours(label, box.fgSet ? toColour(box.fg) : neutralText, toColour(box.bg));
}

void renderMarker(const Marker &marker, QLabel *label)
{
    if (marker.visible)
        label->move(px(marker.left), px(marker.top));
    label->setVisible(marker.visible);
}

void renderVenues(const ScreenModel &screen, QComboBox *cmb)
{
    const QSignalBlocker blocker(cmb);
    QStringList shown;
    for (int i = 0; i < cmb->count(); ++i)
        shown.append(cmb->itemText(i));
    if (shown != screen.cmbItems) {
        cmb->clear();
        cmb->addItems(screen.cmbItems);
    }
    if (cmb->currentIndex() != screen.cmbIndex)
        cmb->setCurrentIndex(screen.cmbIndex);
}

// The race text ends its lines with CR LF; the text box wants plain line feeds. Lines past
// RaceTextLineShown characters are cut, with a mark, so that a damaged day cannot keep the
// window busy laying out a line no one reads.
QString displayText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    const QList<QStringView> lines = QStringView(shown).split(u'\n');
    QString cut;
    cut.reserve(shown.size());
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QStringView line = lines[n];
        if (n > 0)
            cut += u'\n';
        cut += line.first(std::min(line.size(), RaceTextLineShown));
        if (line.size() > RaceTextLineShown)
            cut += u'…';
    }
    return cut;
}

} // namespace

void renderScreen(const ScreenModel &screen, MainWindow &main)
{
    for (int i = 0; i < 4; ++i)
        setCaption(main.tit(i), screen.tit[i]);
    for (int i = 0; i < 26; ++i)
        setCaption(main.dds(i), screen.dds[i]);

    const QColor windowText = main.palette().color(QPalette::WindowText);
    for (int k = 1; k <= 3; ++k)
        renderBox(screen.tyaku[k], main.tyaku(k), windowText);
    for (int k = 1; k <= 2; ++k)
        renderBox(screen.tyakub[k], main.tyakub(k), Qt::black);

    for (int boat = 1; boat <= 6; ++boat)
        renderMarker(screen.wak[boat], main.wak(boat));
    for (int i = 0; i < 4; ++i)
        setCaption(main.okiniiri(i), screen.okiniiri[i]);

    renderVenues(screen, main.cmb());
    renderProgress(screen.progressBar1, main);

    const QString text = displayText(screen.txb);
    if (main.txb()->toPlainText() != text)
        main.txb()->setPlainText(text);
}

void renderProgress(const ProgressBar &bar, MainWindow &main)
{
    QProgressBar *widget = main.progressBar1();
    const int maximum = std::max(bar.maximum, 0);
    if (widget->maximum() != maximum)
        widget->setRange(0, maximum);
    const int value = std::clamp(bar.value, 0, maximum);
    if (widget->value() != value)
        widget->setValue(value);
    widget->setVisible(bar.visible);
}

void renderPlayer(const ScreenModel &screen, PlayerDialog &player)
{
    if (player.txb()->text() != screen.playerTxb) {
        const QSignalBlocker blocker(player.txb());
        player.txb()->setText(screen.playerTxb);
    }
    QRadioButton *chosen = player.op1(screen.playerOption == 1 ? 1 : 0);
    if (!chosen->isChecked()) {
        const QSignalBlocker blocker(chosen);
        chosen->setChecked(true);
    }
}

} // namespace rusena
