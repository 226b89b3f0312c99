#include "FrameView.h"

#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "FrameDiagram.h"
#include "NoSettings.h"
#include "SimulatedBoard.h"
#include "StepCtlDlg.h"
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

}  // namespace

FrameView::FrameView(CStepCtlDlg* panel)
    : QWidget(panel, Qt::Window),
      panel_(panel),
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

    const bool simulated = panel_->simulatedBoard() != nullptr;
    boardTitle_->setVisible(simulated);
    board_->setVisible(simulated);

    connect(panel_, &CStepCtlDlg::sendCompleted, this, &FrameView::refresh);
    refresh();
    // Wide enough for a number over every sample and the 36 bytes on one line.
    resize(sizeHint().expandedTo(QSize(diagram_->sizeHint().width() + 24, 0)));
}

void FrameView::refresh() {
    const auto& outcome = panel_->lastOutcome();
    if (outcome) {
        summary_->setText(tr("Last frame: %1, %2 samples, %3")
                              .arg(text(stepctl::frameKindName(outcome->kind)))
                              .arg(stepctl::kFrameSize)
                              .arg(statusText(*outcome)));
        diagram_->setFrame(outcome->kind, outcome->frame);
        bytes_->setText(hexBytes(outcome->frame));
    } else {
        summary_->setText(tr("No frame sent yet: press \"Send Signal\" in the panel."));
        diagram_->clear();
        bytes_->clear();
    }
    save_->setEnabled(outcome.has_value());

    if (const stepctl::SimulatedBoard* sim = panel_->simulatedBoard()) {
        QStringList lines;
        for (const auto& line : sim->report())
            lines << text(line);
        board_->setText(lines.isEmpty() ? tr("(nothing latched yet)") : lines.join('\n'));
    }
}

bool FrameView::saveVcd(const QString& path, QString* error) const {
    const auto& outcome = panel_->lastOutcome();
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
    const auto& outcome = panel_->lastOutcome();
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
