#include "rowdialog.h"

// ours
#include "twips.h"

// Qt
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace tarnwick {

namespace {
// The gap between OKButton and the bottom edge.
constexpr int kOkMarginTwips = 100;
} // namespace

QString ElementName(const QString& control, int index)
{
    return control + QLatin1Char('_') + QString::number(index);
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

RowDialog::RowDialog(const RowDialogDesign& design, QWidget* owner)
    : QDialog(owner)
{
    setWindowIcon(owner ? owner->window()->windowIcon() : QApplication::windowIcon());
    setFixedSize(TwipsToPixels(design.innerWidth), TwipsToPixels(design.innerHeight));

    m_lblHeight = new QLabel(this);
    m_lblHeight->setObjectName(QStringLiteral("lblHeight"));
    m_lblHeight->setGeometry(0, 0, 1, TwipsToPixels(design.pitch));
    m_lblHeight->hide();

    m_lblBottom = new QLabel(this);
    m_lblBottom->setObjectName(QStringLiteral("lblBottom"));
    m_lblBottom->setGeometry(TwipsRect(design.bottom.x(), design.bottom.y(), design.bottom.width(),
                                       design.bottom.height()));
    m_lblBottom->lower();

    auto* line = new QFrame(this);
    line->setObjectName(ElementName(QStringLiteral("Line1"), 0));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(TwipsRect(design.line.x(), design.line.y(), design.line.width(), design.line.height()));
    m_lines << line;

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setGeometry(TwipsRect(design.ok.x(), design.ok.y(), design.ok.width(), design.ok.height()));
    m_okButton->setDefault(true);
}

int RowDialog::Pitch() const
{
    return m_lblHeight->height();
}

void RowDialog::PlaceBelow(QWidget* created, const QWidget* previous) const
{
    created->setGeometry(previous->geometry().translated(0, Pitch()));
    created->setEnabled(previous->isEnabled());
    created->show();
}

void RowDialog::AddLine()
{
    const QFrame* last = m_lines.last();
    auto* line = new QFrame(this);
    line->setObjectName(ElementName(QStringLiteral("Line1"), int(m_lines.size())));
    line->setFrameShape(last->frameShape());
    line->setFrameShadow(last->frameShadow());
    line->setGeometry(last->geometry().translated(0, Pitch()));
    line->show();
    m_lines << line;
    if (line->y() > m_lblBottom->y()) {
        setFixedHeight(height() + Pitch());
        // A hidden dialog hears of its new size only when shown; the rows
        // that follow must already see lblBottom in its new place.
        ArrangeBottom();
    }
}

void RowDialog::ArrangeBottom()
{
    m_lblBottom->move(m_lblBottom->x(), height() - m_lblBottom->height());
    m_okButton->move(m_okButton->x(), height() - m_okButton->height() - TwipsToPixels(kOkMarginTwips));

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void RowDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    ArrangeBottom();
}

} // namespace tarnwick
