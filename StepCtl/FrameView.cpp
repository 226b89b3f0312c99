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

#include "FrameDiagram.h"
#include "FrameWords.h"
#include "NoSettings.h"
#include "SimulatedBoard.h"
#include "Vcd.h"

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
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
    summary_->setText(text(stepctl::panel::frameSummary(outcome, lastSend_.settings())));
    if (outcome) {
        diagram_->setFrame(outcome->kind, outcome->frame);
        bytes_->setText(text(stepctl::panel::frameBytes(outcome->frame)));
    } else {
        diagram_->clear();
        bytes_->clear();
    }
    save_->setEnabled(outcome.has_value());

    const stepctl::SimulatedBoard* sim = simulated_;
    boardTitle_->setVisible(sim != nullptr);
    board_->setVisible(sim != nullptr);
    if (sim != nullptr)
        board_->setText(text(stepctl::panel::simulatedHolds(*sim)));
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
    const QString suggested = text(stepctl::panel::vcdFileName(outcome->kind));
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
