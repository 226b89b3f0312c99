#include "AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "Art.h"
#include "DialogUnits.h"
#include "ResourceIds.h"
#include "Version.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("About StepCtl"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(applicationIcon());
    const DialogUnits dlu(font());
    setFixedSize(dlu.size(170, 62));

    // An icon static shows the icon at its own size and ignores the template's extent.
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("IDC_ABOUT_ICON"));
    icon->setProperty(kControlIdProperty, IDC_ABOUT_ICON);
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    icon->setGeometry(QRect(dlu.rect(14, 14, 20, 20).topLeft(), QSize(32, 32)));

    auto* version = new QLabel(QStringLiteral("StepCtl, Version 1.0"), this);
    version->setProperty(kControlIdProperty, IDC_STATIC);
    version->setTextFormat(Qt::PlainText);
    version->setGeometry(dlu.rect(42, 14, 114, 8));
    // The template's text stays as it is; the build's own version is a hover away.
    version->setToolTip(QStringLiteral("stepctl %1, Qt %2 (built with Qt %3)")
                            .arg(QString::fromLatin1(stepctl::kVersion),
                                 QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setProperty(kControlIdProperty, IDOK);
    ok->setDefault(true);
    ok->setGeometry(dlu.rect(113, 41, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}
