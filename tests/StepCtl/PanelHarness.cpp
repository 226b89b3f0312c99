#include "PanelHarness.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>

#include "Palette.h"
#include "SelectionState.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"

Panel::Panel(stepctl::BoardLink* link, const stepctl::SimulatedBoard* simulated) {
    stepctl::resetSelectionState();
    stepctl::setBoardLink(link);
    dlg_ = std::make_unique<CStepCtlDlg>(nullptr, simulated);
    dlg_->show();
    dlg_->activateWindow();
    QApplication::setActiveWindow(dlg_.get());
    if (!QTest::qWaitForWindowExposed(dlg_.get()))
        qWarning("panel window not exposed");
}

Panel::~Panel() {
    dlg_.reset();
    stepctl::setBoardLink(nullptr);
}

void Panel::type(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
    } else if (text.size() > 200) {
        // Nobody types that much: it is pasted.
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(field, text);
    }
}

void Panel::clickSend() {
    QTest::mouseClick(send(), Qt::LeftButton);
}

void Panel::click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

SelectorRadio* Panel::radio(int iface) const {
    return iface == 1 ? parallel() : iface == 2 ? addressable() : serial();
}

void Panel::choose(int row, int iface, int addressIndex) {
    pick(device(), row);
    click(radio(iface));
    if (iface == 2)
        pick(address(), addressIndex);
}

void Panel::pick(QComboBox* list, int index) {
    // A click on the arrow at the right end opens the list; the keys walk to the entry and
    // Enter takes it (a mouse release right after the list opens is ignored by design).
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() - 4, list->height() / 2));
    QAbstractItemView* view = list->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        qWarning("list popup not shown");
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    if (list->currentIndex() != index || view->window()->isVisible())
        qWarning("list entry %d not picked", index);
}

void Panel::typeInList(QComboBox* list, const QString& text) {
    QTest::mouseClick(list->lineEdit(), Qt::LeftButton);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(list, Qt::Key_Delete);
    else
        QTest::keyClicks(list, text);
    QTest::keyClick(list, Qt::Key_Tab);
}

QRect Panel::handleRect(int value) const {
    QSlider* s = slider();
    QStyleOptionSlider option;
    option.initFrom(s);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = s->orientation();
    option.maximum = s->maximum();
    option.minimum = s->minimum();
    option.tickPosition = s->tickPosition();
    option.tickInterval = s->tickInterval();
    option.upsideDown = false;
    option.direction = s->layoutDirection();
    option.sliderPosition = value;
    option.sliderValue = value;
    option.singleStep = s->singleStep();
    option.pageStep = s->pageStep();
    return s->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, s);
}

void Panel::press() {
    grabbed_ = handleCentre(slider()->sliderPosition());
    QTest::mousePress(slider(), Qt::LeftButton, {}, grabbed_);
}

void Panel::moveTo(int value) {
    // Where the grabbed point of the thumb lies when the thumb stands at `value`.
    const QPoint target =
        handleRect(value).topLeft() + (grabbed_ - handleRect(slider()->sliderPosition()).topLeft());
    QTest::mouseMove(slider(), target);
    grabbed_ = target;
}

void Panel::release() {
    QTest::mouseRelease(slider(), Qt::LeftButton, {}, grabbed_);
}

void Panel::drag(int value) {
    press();
    moveTo(value);
    release();
}

void Panel::spinUp() {
    QTest::mouseClick(spin()->upArrow(), Qt::LeftButton);
}

void Panel::spinDown() {
    QTest::mouseClick(spin()->downArrow(), Qt::LeftButton);
}

void Panel::sliderKey(Qt::Key key) {
    slider()->setFocus();
    QTest::keyClick(slider(), key);
}

void Panel::clickChannelRight() {
    QTest::mouseClick(slider(), Qt::LeftButton, {},
                      QPoint(slider()->width() - 3, slider()->height() / 2));
}

bool Panel::indicatorConnected() const {
    const bool on = connected()->isVisible();
    const bool off = notConnected()->isVisible();
    if (on == off)
        qWarning("connection indicator: %s", on ? "both shown" : "none shown");
    return on && !off;
}

std::optional<int> latched(const stepctl::SimulatedBoard& board, std::string_view label) {
    for (const auto& a : board.attenuators()) {
        if (a.setup().label == label)
            return a.code();
    }
    return std::nullopt;
}

QStringList Panel::pickBoard(const QString& label) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            dlg_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dlg_.get(), &event);
    QMenu* menu = dlg_->windowMenu();
    if (!QTest::qWaitForWindowExposed(menu))
        return {};
    QTest::keyClick(menu, Qt::Key_B);
    auto* board = dlg_->findChild<QMenu*>(QStringLiteral("boardMenu"));
    if (board == nullptr || !QTest::qWaitForWindowExposed(board))
        return {};
    QStringList offered;
    QAction* target = nullptr;
    for (QAction* action : board->actions()) {
        if (action->isSeparator())
            continue;
        offered << action->text();
        if (target == nullptr && action->text().startsWith(label))
            target = action;
    }
    if (target != nullptr)
        QTest::mouseClick(board, Qt::LeftButton, {}, board->actionGeometry(target).center());
    else
        menu->close();
    return offered;
}

QColor mostCommon(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(best, most) = std::pair{it.key(), it.value()};
    return QColor::fromRgb(best);
}

// The contrast of the drawn text on its ground, read off the picture: the ground is the most
// common colour, the text the pixel farthest from it. Anti-aliasing only lowers the figure.
double drawnContrast(QWidget* w, QRect area) {
    QImage image = w->grab().toImage();
    if (!area.isNull())
        image = image.copy(area);
    const QColor ground = mostCommon(image);
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, contrastRatio(ground, image.pixelColor(x, y)));
    return best;
}
