#include "FrameView.h"

#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "Catalogue.h"
#include "DbCode.h"
#include "FrameDiagram.h"
#include "NoSettings.h"
#include "SimulatedBoard.h"
#include "TextFormat.h"
#include "Vcd.h"

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString hexBytes(const stepctl::Frame& frame) {
    QStringList bytes;
    for (const auto byte : frame)
        bytes
            << QStringLiteral("%1").arg(static_cast<uint>(byte), 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
}

QString statusText(const stepctl::SendOutcome& outcome) {
    switch (outcome.status) {
        case stepctl::SendStatus::Sent:
            return FrameView::tr("sent");
        case stepctl::SendStatus::NoDevice:
            return FrameView::tr("not sent, no device: %1").arg(text(outcome.detail));
        case stepctl::SendStatus::TransferFailed:
            break;
    }
    return FrameView::tr("transfer failed: %1").arg(text(outcome.detail));
}

QString codeText(int row, int code) {
    return FrameView::tr("%1 (%2 dB)")
        .arg(code)
        .arg(QString::fromStdString(stepctl::formatDb(stepctl::dbFromCode(row, code))));
}

// "ZMT-A8, addressable-6, code 42 (21.00 dB) to address 5: sent"
QString summaryText(const stepctl::SendOutcome& outcome,
                    const std::optional<stepctl::panel::SentSettings>& sent) {
    using stepctl::FrameKind;
    const QString kind = text(stepctl::frameKindName(outcome.kind));
    if (!sent)
        return FrameView::tr("Last frame: %1: %2").arg(kind, statusText(outcome));
    const QString device = stepctl::isCatalogueRow(sent->row)
                               ? text(stepctl::catalogue()[sent->row].name)
                               : FrameView::tr("row %1").arg(sent->row);
    QString codes =
        outcome.kind == FrameKind::Dual
            ? FrameView::tr("codes %1 and %2")
                  .arg(codeText(sent->row, sent->code1), codeText(sent->row, sent->code2))
            : FrameView::tr("code %1").arg(codeText(sent->row, sent->code1));
    if (outcome.kind == FrameKind::Addressable6 || outcome.kind == FrameKind::Addressable7)
        codes += FrameView::tr(" to address %1").arg(sent->address);
    return FrameView::tr("Last frame: %1, %2, %3: %4")
        .arg(device, kind, codes, statusText(outcome));
}

}  // namespace

FrameView::FrameView(QWidget* parent, stepctl::panel::LastSend& lastSend,
                     const stepctl::SimulatedBoard* simulated)
    : QWidget(parent, Qt::Window),
      lastSend_(lastSend),
      simulated_(simulated),
      summary_(new QLabel(this)),
      diagram_(new FrameDiagram(this)),
      bytes_(new QLabel(this)),
      boardTitle_(new QLabel(tr("Simulated board now holds:"), this)),
      board_(new QLabel(this)),
      save_(new QPushButton(tr("Save as VCD..."), this)) {
    setObjectName(QStringLiteral("FrameView"));
    setWindowTitle(tr("Frame view"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    bytes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bytes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bytes_->setWordWrap(true);
    board_->setTextFormat(Qt::PlainText);
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    bytes_->setTextFormat(Qt::PlainText);
    summary_->setObjectName(QStringLiteral("summary"));
    bytes_->setObjectName(QStringLiteral("bytes"));
    board_->setObjectName(QStringLiteral("simulatedBoard"));
    save_->setObjectName(QStringLiteral("saveVcd"));

    auto* close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(save_, &QPushButton::clicked, this, &FrameView::chooseFileAndSave);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(diagram_, 1);
    layout->addWidget(bytes_);
    layout->addWidget(boardTitle_);
    layout->addWidget(board_);
    layout->addLayout(buttons);

    lastSend_.watch([this] { refresh(); });
    refresh();
}

void FrameView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrameView::fitToContent() {
    layout()->activate();
    QSize wanted = sizeHint().expandedTo(minimumSizeHint());
    if (const QScreen* where = screen()) {
        // The window frame comes on top of the content; on first show it is not known yet,
        // so a title bar's worth is kept free.
        const QSize frame = isVisible() ? frameGeometry().size() - geometry().size()
                                        : QSize(0, fontMetrics().height() * 2);
        wanted = wanted.boundedTo(where->availableGeometry().size() - frame);
    }
    resize(wanted);
}

FrameView::~FrameView() {
    lastSend_.watch({});
}

void FrameView::setSimulatedBoard(const stepctl::SimulatedBoard* simulated) {
    simulated_ = simulated;
    refresh();
}

void FrameView::refresh() {
    const auto& outcome = lastSend_.outcome();
    if (outcome) {
        summary_->setText(summaryText(*outcome, lastSend_.settings()));
        diagram_->setFrame(outcome->kind, outcome->frame);
        bytes_->setText(hexBytes(outcome->frame));
    } else {
        summary_->setText(tr("No frame sent yet: press \"Send Signal\" in the panel."));
        diagram_->clear();
        bytes_->clear();
    }
    save_->setEnabled(outcome.has_value());

    const stepctl::SimulatedBoard* sim = simulated_;
    boardTitle_->setVisible(sim != nullptr);
    board_->setVisible(sim != nullptr);
    if (sim != nullptr) {
        QStringList lines;
        for (const auto& line : sim->report())
            lines << text(line);
        board_->setText(lines.isEmpty() ? tr("(nothing latched yet)") : lines.join('\n'));
    }
    fitToContent();
}

bool FrameView::saveVcd(const QString& path, QString* error) const {
    const auto& outcome = lastSend_.outcome();
    if (!outcome) {
        if (error != nullptr)
            *error = tr("No frame has been sent yet.");
        return false;
    }
    const std::string vcd = stepctl::frameToVcd(outcome->kind, outcome->frame);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(vcd.data(), static_cast<qint64>(vcd.size())) !=
            static_cast<qint64>(vcd.size()) ||
        !file.flush()) {
        if (error != nullptr)
            *error = tr("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void FrameView::chooseFileAndSave() {
    const auto& outcome = lastSend_.outcome();
    if (!outcome)
        return;
    const QString suggested =
        QStringLiteral("stepctl-%1.vcd").arg(text(stepctl::frameKindName(outcome->kind)));
    QString path;
    {
        const NoSettings noHistory;  // the dialog would keep its history in QtProject.conf
        path = QFileDialog::getSaveFileName(this, tr("Save frame as VCD"), suggested,
                                            tr("Value change dump (*.vcd);;All files (*)"), nullptr,
                                            QFileDialog::DontUseNativeDialog);
    }
    if (path.isEmpty())
        return;
    QString error;
    if (!saveVcd(path, &error))
        QMessageBox::warning(this, tr("Save as VCD"), error);
}
