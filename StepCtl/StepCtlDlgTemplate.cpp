// The panel's template: every control in template order, which is also the order of tabbing,
// with its text, style, state at creation and place in dialog units.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVariant>

#include "Art.h"
#include "Catalogue.h"
#include "DialogUnits.h"
#include "Indicator.h"
#include "PickList.h"
#include "ResourceIds.h"
#include "SelectorRadio.h"
#include "StepCtlDlg.h"
#include "Trackbar.h"
#include "UpDownControl.h"

namespace {

// Template extent of the panel in dialog units.
constexpr int kWidthDlu = 295;
constexpr int kHeightDlu = 257;

template <class Control>
Control* named(Control* control, const char* name, int id) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty(kControlIdProperty, id);
    return control;
}

}  // namespace

void CStepCtlDlg::CreateControls() {
    const DialogUnits dlu(font());
    setFixedSize(dlu.size(kWidthDlu, kHeightDlu));

    auto label = [&](const QString& text, QRect where) {
        auto* l = new QLabel(text, this);
        l->setProperty(kControlIdProperty, IDC_STATIC);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setGeometry(where);
        return l;
    };
    auto edit = [&](const char* name, int id, QRect where) {
        auto* e = named(new QLineEdit(this), name, id);
        e->setGeometry(where);
        return e;
    };
    auto groupBox = [&](const QString& title, QRect where) {
        auto* g = new QGroupBox(title, this);
        g->setProperty(kControlIdProperty, IDC_STATIC);
        g->setGeometry(where);
        // A group box only frames its neighbours: it must not take their clicks.
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
        return g;
    };
    auto radio = [&](const QString& text, const char* name, int id, QRect where) {
        auto* r = named(new SelectorRadio(text, this), name, id);
        r->setGeometry(where);
        return r;
    };
    auto indicator = [&](const QString& text, const char* name, int id, const QColor& colour) {
        auto* s = named(new Indicator(text, colour, this), name, id);
        s->setGeometry(dlu.rect(7, 217, 143, 14));
        s->hide();
        return s;
    };

    // 1: Close carries the OK id; it is not the default button.
    auto* close = named(new QPushButton(QStringLiteral("Close"), this), "IDOK", IDOK);
    close->setGeometry(dlu.rect(203, 211, 78, 14));
    connect(close, &QPushButton::clicked, this, &CStepCtlDlg::OnOK);

    label(QStringLiteral("Attenuation State:"), dlu.rect(18, 144, 78, 12));

    m_editState = edit("IDC_EDIT_STATE", IDC_EDIT_STATE, dlu.rect(114, 144, 26, 12));
    m_editState->setEnabled(false);

    auto* send = named(new QPushButton(QStringLiteral("Send Signal"), this), "IDC_BUTTON_SEND",
                       IDC_BUTTON_SEND);
    send->setDefault(true);
    send->setGeometry(dlu.rect(201, 152, 79, 36));
    connect(send, &QPushButton::clicked, this, &CStepCtlDlg::OnBnClickedButtonSend);

    m_editAtten = edit("IDC_EDIT_ATTEN", IDC_EDIT_ATTEN, dlu.rect(100, 164, 50, 12));

    groupBox(QStringLiteral("Attenuation Control"), dlu.rect(7, 99, 281, 107));
    label(QStringLiteral("[dB]"), dlu.rect(154, 164, 20, 12));

    m_sliderAtten = named(new QSlider(Qt::Horizontal, this), "IDC_SLIDER_ATTEN", IDC_SLIDER_ATTEN);
    m_sliderAtten->setGeometry(dlu.rect(18, 108, 242, 28));
    m_sliderAtten->setTickPosition(QSlider::TicksBothSides);
    m_sliderAtten->setTickInterval(1);  // a tick on every position
    m_sliderAtten->setFocusPolicy(Qt::StrongFocus);
    setUpTrackbar(m_sliderAtten);
    connect(m_sliderAtten, &QSlider::sliderMoved, this,
            [this](int nPos) { OnHScroll(TB_THUMBTRACK, nPos); });
    connect(m_sliderAtten, &QSlider::sliderReleased, this,
            [this] { OnHScroll(TB_THUMBPOSITION, m_sliderAtten->sliderPosition()); });

    label(QStringLiteral("Attenuation [dB] :"), dlu.rect(18, 164, 78, 12));
    groupBox(QStringLiteral("Select Device"), dlu.rect(157, 9, 131, 28));

    // The three device-type radios stay hidden; nothing reads them.
    m_radio6Bit = radio(QStringLiteral("ZMT/ZMG-6bit"), "IDC_RADIO_6BIT", IDC_RADIO_6BIT,
                        dlu.rect(7, 243, 60, 10));
    m_radio6Bit->hide();
    m_radio7Bit = radio(QStringLiteral("ZMT/ZMG-7bit"), "IDC_RADIO_7BIT", IDC_RADIO_7BIT,
                        dlu.rect(70, 243, 60, 10));
    m_radio7Bit->hide();

    groupBox(QStringLiteral("Control Interface"), dlu.rect(157, 41, 131, 49));
    m_radioSerial = radio(QStringLiteral("Serial"), "IDC_RADIO_SERIAL", IDC_RADIO_SERIAL,
                          dlu.rect(163, 54, 42, 10));
    connect(m_radioSerial, &SelectorRadio::clicked, this, &CStepCtlDlg::OnBnClickedRadioSerial);
    m_radioParallel = radio(QStringLiteral("Latched Parallel"), "IDC_RADIO_PARALLEL",
                            IDC_RADIO_PARALLEL, dlu.rect(209, 54, 76, 10));
    connect(m_radioParallel, &SelectorRadio::clicked, this, &CStepCtlDlg::OnBnClickedRadioParallel);

    auto* spin = named(new UpDownControl(this), "IDC_SPIN_ATTEN", IDC_SPIN_ATTEN);
    spin->setGeometry(dlu.rect(269, 107, 11, 31));
    connect(spin, &UpDownControl::deltaPos, this, &CStepCtlDlg::OnDeltaposSpinAtten);

    m_staticConnected = indicator(QStringLiteral("Success Interface Board Connected!!"),
                                  "IDC_STATIC_CONNECTED", IDC_STATIC_CONNECTED, QColor(0, 0, 255));
    indicator(QStringLiteral("*******Not Connected*********"), "IDC_STATIC_NOTCONNECTED",
              IDC_STATIC_NOTCONNECTED, QColor(255, 0, 0));

    auto* banner = named(new QLabel(this), "IDC_STATIC_BANNER", IDC_STATIC_BANNER);
    banner->setTextFormat(Qt::PlainText);
    banner->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The whole bottom line, right-aligned: a failed Send's reason needs the room.
    banner->setGeometry(dlu.rect(7, 239, 281, 14));
    banner->setForegroundRole(QPalette::PlaceholderText);

    m_radioDouble = radio(QStringLiteral("ZMG-6bit Double"), "IDC_RADIO_DOUBLE", IDC_RADIO_DOUBLE,
                          dlu.rect(133, 243, 60, 10));
    m_radioDouble->hide();

    m_comboAddress = named(new PickList(this), "IDC_COMBO_ADDRESS", IDC_COMBO_ADDRESS);
    m_comboAddress->setGeometry(dlu.rect(245, 70, 40, 12));
    m_comboAddress->setSorted(true);
    connect(m_comboAddress, &PickList::picked, this, &CStepCtlDlg::OnCbnSelchangeComboAddress);
    connect(m_comboAddress, &PickList::fieldLeft, this, &CStepCtlDlg::OnCbnKillfocusComboAddress);

    m_radioSerialAddr = radio(QStringLiteral("Serial Addressable"), "IDC_RADIO_SERIAL_ADDR",
                              IDC_RADIO_SERIAL_ADDR, dlu.rect(163, 71, 81, 10));
    connect(m_radioSerialAddr, &SelectorRadio::clicked, this,
            &CStepCtlDlg::OnBnClickedRadioSerialAddr);

    m_comboDevice = named(new PickList(this), "IDC_COMBO_DEVICE", IDC_COMBO_DEVICE);
    m_comboDevice->setGeometry(dlu.rect(165, 19, 115, 12));
    connect(m_comboDevice, &PickList::picked, this, &CStepCtlDlg::OnCbnSelchangeComboDevice);
    connect(m_comboDevice, &PickList::fieldLeft, this, &CStepCtlDlg::OnCbnKillfocusComboDevice);

    edit("IDC_EDIT_ATTEN2", IDC_EDIT_ATTEN2, dlu.rect(100, 184, 50, 12));
    label(QStringLiteral("2nd Attenuation [dB] :"), dlu.rect(18, 184, 80, 12));
    label(QStringLiteral("[dB]"), dlu.rect(154, 184, 20, 12));

    m_editState2 = edit("IDC_EDIT_STATE2", IDC_EDIT_STATE2, dlu.rect(162, 144, 26, 12));
    m_editState2->setEnabled(false);

    label(QStringLiteral("1st"), dlu.rect(100, 144, 12, 12));
    label(QStringLiteral("2nd"), dlu.rect(148, 144, 13, 12));

    m_picLogo = named(new QLabel(this), "IDC_PICTURE_LOGO", IDC_PICTURE_LOGO);
    const QPixmap logo = logoBitmap();
    m_picLogo->setPixmap(logo);
    // A bitmap static takes the bitmap's own size at its template position.
    m_picLogo->setGeometry(QRect(dlu.rect(18, 26, 0, 0).topLeft(), logo.size()));

    // Group boxes lie beneath the controls they frame.
    for (QGroupBox* box : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        box->lower();

    // The controls by id, once: reading the id property of every child on each lookup cost a
    // Send nine tenths of its time. The template's controls stay as they are made.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() != IDC_STATIC && !m_controls.contains(id.toInt()))
            m_controls.insert(id.toInt(), child);
    }
}
