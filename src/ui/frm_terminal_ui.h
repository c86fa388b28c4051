// The widgets of the main window, built in code; the window holds one of these.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

#include "ui/qt_drawing_surface.h"

namespace korvani::ui {

struct FrmTerminalUi {
  QTabWidget* SSTab1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* lblPortStatus = nullptr;

  // Terminal tab
  QGroupBox* fraRx = nullptr;
  QPlainTextEdit* txtRxData = nullptr;
  QRadioButton* optRxASCII = nullptr;
  QRadioButton* optRxHex = nullptr;
  QPushButton* cmdRxFreeze = nullptr;
  QPushButton* cmdRxClear = nullptr;
  QCheckBox* chkLogASCII = nullptr;
  QCheckBox* chkLogHex = nullptr;

  // HMI tab
  QLabel* lblHMITitle = nullptr;
  SurfaceWidget* picHMI1 = nullptr;
  QPushButton* cmdHMIReset = nullptr;
  QPushButton* cmdHMICLS = nullptr;
  QLineEdit* txtSetWidth = nullptr;
  QLabel* lblTx = nullptr;
  QLineEdit* txtHMIRawRx = nullptr;
  QPushButton* cmdHMITestSend = nullptr;
  QLabel* Label2 = nullptr;

  // Settings tab
  QLineEdit* txtASCIILogFileName = nullptr;
  QLineEdit* txtHexLogFileName = nullptr;

  void setupUi(QMainWindow* window);
};

}  // namespace korvani::ui
