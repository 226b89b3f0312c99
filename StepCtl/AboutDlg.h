// The About box: the application icon, the version line and OK.
#pragma once

#include <QDialog>

class CAboutDlg final : public QDialog {
    Q_OBJECT
  public:
    enum { IDD = 100 };

    explicit CAboutDlg(QWidget* pParent = nullptr);
};
