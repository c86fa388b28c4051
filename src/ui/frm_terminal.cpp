#include "ui/frm_terminal.h"

#include <QPainter>

#include <QImageWriter>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "app/panel.h"
#include "terminal/connection.h"
#include "ui/frm_terminal_tabs.h"

namespace korvani::ui {

FrmTerminal::FrmTerminal(QWidget* parent)
    : QMainWindow(parent), Report([this](const std::string& what) { ReportFault(what); }) {
  Widgets.setupUi(this);
  HmiSurface = std::make_unique<QtDrawingSurface>(*Widgets.picHMI1);
  Widgets.optRxASCII->setChecked(true);

  LogPane = std::make_unique<PaneRefresher>(Widgets.txtHMILog, kLogPaneRefreshMs, &FrmTerminal::ToPaneText);
}

FrmTerminal::~FrmTerminal() {
  Panel = nullptr;  // the widgets still signal as they go; no slot reaches the core then
}

void FrmTerminal::ReportFault(const std::string& what) {
  const QString text =
      QStringLiteral("An action was abandoned: %1. Please report error code 150101-1 to Vexel Vavadivu.")
          .arg(QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())));
  std::fprintf(stderr, "korvani: %s\n", text.toLocal8Bit().constData());
  Widgets.StatusBar1->showMessage(text, kFaultShownMs);
}

QString FrmTerminal::ToPaneText(std::string_view text) {
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void FrmTerminal::ShowHistory(terminal::HistoryForm form) {
  // The view draws from the receive history: told of a change, it catches up.
  Widgets.txtRxData->SetForm(form);
  Widgets.txtRxData->HistoryChanged();
}

void FrmTerminal::ShowRepeat(int index, const terminal::TxRepeat& repeat) {
  const QSignalBlocker quietBox(Widgets.chkRepeat[index]);
  const QSignalBlocker quietNumber(Widgets.spnRepeat[index]);
  Widgets.chkRepeat[index]->setChecked(repeat.On);
  Widgets.spnRepeat[index]->setValue(repeat.Ms);
}

void FrmTerminal::SetTimestampsShown(bool on) {
  Widgets.chkTimestamps->setChecked(on);  // a click's signal, not a change's: no loop
  Widgets.txtRxData->SetTimestamps(on);
}

void FrmTerminal::ShowLogProblem(std::string_view problem) {
  const QString text = QString::fromUtf8(problem.data(), static_cast<qsizetype>(problem.size()));
  Widgets.lblLogProblem->setText(text);
  Widgets.lblLogProblem->setToolTip(text);
  Widgets.lblLogProblem->setVisible(!problem.empty());
}

void FrmTerminal::SetFreezeCaption(std::string_view caption) {
  Widgets.cmdRxFreeze->setText(ToQString(caption));
}

void FrmTerminal::ShowScrollback(const terminal::Scrollback& scrollback) {
  Widgets.cmbScrollback->setCurrentText(QString::fromStdString(scrollback.Text()));
}

std::string FrmTerminal::SaveScreenPicture(const std::string& path) {
  QImageWriter writer(QString::fromStdString(path), "png");
  if (!writer.write(Widgets.picHMI1->grab().toImage())) {
    return writer.errorString().toStdString();
  }
  return {};
}

void FrmTerminal::SetFullScreen(bool on) {
  if (on == isFullScreen()) {
    return;
  }
  if (Panel != nullptr) {
    Panel->Buttons().ReleaseKeys();
  }
  if (on) {
    LogShownBeforeFullScreen = !Widgets.fraLogging->isHidden();
    Widgets.SSTab1->setCurrentIndex(app::kHmiTab);
  }
  for (QWidget* other : {static_cast<QWidget*>(Widgets.SSTab1->tabBar()), Widgets.fraPanelControls,
                         static_cast<QWidget*>(Widgets.lblTx), static_cast<QWidget*>(Widgets.txtHMIRawRx),
                         static_cast<QWidget*>(Widgets.cmdHMITestSend), static_cast<QWidget*>(Widgets.Label2),
                         static_cast<QWidget*>(statusBar())}) {
    other->setVisible(!on);
  }
  Widgets.fraLogging->setVisible(!on && LogShownBeforeFullScreen);
  // Full screen, nothing of the window's own frame is left around the screen's area.
  QLayout* page = Widgets.SSTab1->widget(app::kHmiTab)->layout();
  if (on) {
    PageMargins = page->contentsMargins();
  }
  page->setContentsMargins(on ? QMargins() : PageMargins);
  Widgets.SSTab1->setDocumentMode(on);
  if (on) {
    showFullScreen();
  } else {
    showNormal();
    Widgets.lblHMITitle->setPalette(Widgets.fraScreenArea->palette());
  }
  FitTimer.start();
}

void FrmTerminal::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11 || (event->key() == Qt::Key_Escape && isFullScreen())) {
    const bool on = event->key() == Qt::Key_F11 && !isFullScreen();
    RunGuarded(Report, [this, on] { SetFullScreen(on); });  // it lets go of the held buttons
    return;
  }
  if (!SoftButtonKey(event, true)) {
    QMainWindow::keyPressEvent(event);
  }
}

void FrmTerminal::keyReleaseEvent(QKeyEvent* event) {
  if (!SoftButtonKey(event, false)) {
    QMainWindow::keyReleaseEvent(event);
  }
}

bool FrmTerminal::SoftButtonKey(QKeyEvent* event, bool down) {
  const int number = event->key() - Qt::Key_F1 + 1;
  if (Panel == nullptr || number < 1 || number > hmi::screen::kDefaultButtons ||
      (down && Widgets.SSTab1->currentIndex() != app::kHmiTab)) {
    return false;  // a key going up lets go of its button on any tab
  }
  if (event->isAutoRepeat()) {
    return true;  // a held key is a held button: its own repeat goes on
  }
  bool handled = false;
  RunGuarded(Report,
             [&] { handled = down ? Panel->Buttons().KeyDown(number) : Panel->Buttons().KeyUp(number); });
  return handled;
}

void FrmTerminal::ShowTestEcho(std::string_view hexListing) {
  Widgets.Label2->setText(ToQString(hexListing));
}

void FrmTerminal::SetTitleWidth(double twips) {
  const int title = Widgets.lblHMITitle->sizeHint().height();
  const int width = static_cast<int>(std::lround(twips / QtDrawingSurface::kTwipsPerPixel));
  Widgets.lblHMITitle->resize(width, title);
  PlaceScreen();
}

void FrmTerminal::PlaceScreen() {
  // At the left in the window; full screen, in the middle of the display.
  const int title = Widgets.lblHMITitle->height();
  const QSize area = Widgets.fraScreenArea->size();
  const bool centred = isFullScreen();
  const int left = centred ? std::max(0, (area.width() - Widgets.picHMI1->width()) / 2) : 0;
  const int top = centred ? std::max(0, (area.height() - title - Widgets.picHMI1->height()) / 2) : 0;
  Widgets.lblHMITitle->move(left, top);
  Widgets.picHMI1->move(left, top + title);
}

void FrmTerminal::SetScreenBaseSize(double widthTwips, double heightTwips) {
  Widgets.fraScreenArea->setMinimumSize(
      static_cast<int>(std::lround(widthTwips / QtDrawingSurface::kTwipsPerPixel)),
      Widgets.lblHMITitle->sizeHint().height() +
          static_cast<int>(std::lround(heightTwips / QtDrawingSurface::kTwipsPerPixel)));
  FitTimer.start();  // the room beyond the new size is measured again
}

void FrmTerminal::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && Panel != nullptr) {
    RunGuarded(Report, [this] { Panel->Buttons().ReleaseKeys(); });  // no key-up will come
  }
}

// The window's size beyond what its layout asks for is the screen's to grow into; at the size
// the window opens at there is none, and the screen is exactly its set-up size.
void FrmTerminal::FitScreen() {
  if (Panel == nullptr) {
    return;
  }
  constexpr double kTwips = QtDrawingSurface::kTwipsPerPixel;
  if (isFullScreen()) {
    // The screen alone: all the room its area has, under its title.
    const QSize area = Widgets.fraScreenArea->size();
    Panel->Screen().FillArea(area.width() * kTwips,
                             (area.height() - Widgets.lblHMITitle->sizeHint().height()) * kTwips);
    PlaceScreen();
    Widgets.fraScreenArea->update();
    return;
  }
  const QSize extra = size() - sizeHint();
  Panel->Screen().GrowBy(std::max(0, extra.width()) * kTwips, std::max(0, extra.height()) * kTwips);
  PlaceScreen();
}

void FrmTerminal::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitTimer.start();
}

void FrmTerminal::SetTitleCaption(std::string_view caption) {
  Widgets.lblHMITitle->setText(ToQString(caption));
}

void FrmTerminal::SetWidthBoxText(std::string_view text) {
  Widgets.txtSetWidth->setText(ToQString(text));
}

void FrmTerminal::SetTxCaption(std::string_view caption) {
  Widgets.lblTx->setText(ToQString(caption));
}

void FrmTerminal::SetCaption(std::string_view caption) {
  setWindowTitle(ToQString(caption));
}

void FrmTerminal::SelectTab(int index) {
  Widgets.SSTab1->setCurrentIndex(index);
}

void FrmTerminal::FitWidthToTabs() {
  resize(sizeHint().width(), height());
}

app::ScreenHeights FrmTerminal::AvailableScreenHeights() const {
  return {kScreenHeightLogShown, kScreenHeightLogHidden};
}

namespace {
int ToPixels(std::int32_t twips) {
  return static_cast<int>(std::lround(twips / QtDrawingSurface::kTwipsPerPixel));
}
}  // namespace

QPushButton* FrmTerminal::UserButton(int index) const {
  return index < static_cast<int>(cmdHMIUserButton.size()) ? cmdHMIUserButton[static_cast<std::size_t>(index)]
                                                           : nullptr;
}

QPushButton* FrmTerminal::MakeUserButton(int index) {
  while (static_cast<int>(cmdHMIUserButton.size()) <= index) {
    auto* button = new QPushButton(Widgets.picHMI1);
    button->setObjectName(QStringLiteral("cmdHMIUserButton%1").arg(cmdHMIUserButton.size()));
    button->setProperty("buttonIndex", static_cast<int>(cmdHMIUserButton.size()));
    button->setFocusPolicy(Qt::NoFocus);  // the mouse only
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    button->setFont(font);
    button->installEventFilter(this);
    button->hide();
    cmdHMIUserButton.push_back(button);
  }
  return cmdHMIUserButton[static_cast<std::size_t>(index)];
}

void FrmTerminal::ShowButton(int index, const hmi::screen::HMIButton& button) {
  QPushButton* control = MakeUserButton(index);
  control->setText(QString::fromLatin1(button.Caption.data(), static_cast<qsizetype>(button.Caption.size())));
  // Screen coordinates start inside the surface's border.
  control->setGeometry(ToPixels(button.Left) + QtDrawingSurface::kBorderPixels,
                       ToPixels(button.Top) + QtDrawingSurface::kBorderPixels,
                       std::max(0, ToPixels(button.Width)), std::max(0, ToPixels(button.Height)));
  control->setVisible(button.Visible);
}

void FrmTerminal::BringButtonToFront(int index) {
  MakeUserButton(index)->raise();
}

void FrmTerminal::SetToastText(std::string_view text) {
  Widgets.lblToastMsg->setText(ToPaneText(text));
}

void FrmTerminal::SetToastVisible(bool visible) {
  if (visible) {
    PlaceToast();
    Widgets.fraToastMsg->raise();
  }
  Widgets.fraToastMsg->setVisible(visible);
}

bool FrmTerminal::ToastVisible() const {
  return !Widgets.fraToastMsg->isHidden();
}

void FrmTerminal::PlaceToast() {
  const int width = std::max(240, this->width() * 3 / 5);
  Widgets.fraToastMsg->setFixedWidth(width);
  Widgets.fraToastMsg->adjustSize();
  Widgets.fraToastMsg->move((this->width() - width) / 2, 40);
}

void FrmTerminal::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitTimer.start();
  if (ToastVisible()) {
    PlaceToast();
  }
}

void FrmTerminal::SetEntryPrompt(std::string_view prompt) {
  Widgets.lblHMIDataEntryPrompt->setText(ToPaneText(prompt));
}

void FrmTerminal::SetEntryFrameVisible(bool visible) {
  QGroupBox* frame = Widgets.fraUserDataInput;
  frame->setVisible(visible);
  if (visible) {
    // Sized to its prompt, in the middle of the screen.
    frame->layout()->activate();
    frame->resize(frame->sizeHint());
    const QRect screen(Widgets.picHMI1->mapTo(frame->parentWidget(), QPoint(0, 0)), Widgets.picHMI1->size());
    frame->move(screen.x() + std::max(0, (screen.width() - frame->width()) / 2),
                screen.y() + std::max(0, (screen.height() - frame->height()) / 2));
    frame->raise();
  }
}

void FrmTerminal::SetEntryText(std::string_view text) {
  Widgets.txtHMIDataEntry->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

std::string FrmTerminal::EntryText() const {
  return Widgets.txtHMIDataEntry->text().toStdString();
}

void FrmTerminal::FocusEntry() {
  Widgets.txtHMIDataEntry->setFocus();
}

bool FrmTerminal::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Widgets.fraScreenArea && event->type() == QEvent::Paint && isFullScreen()) {
    // Full screen: the surround is the screen's own background, not the window's grey.
    const QColor back = QtDrawingSurface::ToQColor(HmiSurface->BackColour());
    QPainter painter(Widgets.fraScreenArea);
    painter.fillRect(Widgets.fraScreenArea->rect(), back);
    QPalette title = Widgets.fraScreenArea->palette();  // the title stays readable on it
    title.setColor(QPalette::WindowText, back.lightness() < 128 ? Qt::white : Qt::black);
    Widgets.lblHMITitle->setPalette(title);
    return false;
  }
  if (Panel == nullptr) {
    return QMainWindow::eventFilter(watched, event);
  }
  bool handled = false;
  RunGuarded(Report, [&] { handled = FilterPanelEvent(watched, event); });
  return handled;
}

bool FrmTerminal::FilterPanelEvent(QObject* watched, QEvent* event) {
  const QVariant buttonIndex = watched->property("buttonIndex");
  if (buttonIndex.isValid()) {
    const auto index = static_cast<std::int16_t>(buttonIndex.toInt());
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      cmdHMIUserButton_MouseDown(index);
    } else if (event->type() == QEvent::MouseButtonRelease) {
      cmdHMIUserButton_MouseUp(index);
    }
    return false;
  }
  if (watched == Widgets.Label1 && event->type() == QEvent::MouseButtonDblClick) {
    Label1_DblClick();
    return true;
  }
  if ((watched == Widgets.lblToastMsg || watched == Widgets.lblDismissToastMsg) &&
      event->type() == QEvent::MouseButtonPress) {
    lblToastMsg_Click();
    return true;
  }
  for (int i = 0; i < 5; ++i) {
    if (watched == Widgets.txtTx[i] && event->type() == QEvent::MouseButtonPress) {
      txtTx_Click(i);  // a click shows this line's bytes
    }
  }
  if (watched == Widgets.txtHMIDataEntry && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      code = 13;
    } else if (!key->text().isEmpty()) {
      code = key->text().at(0).unicode();
    }
    return code != 0 && !txtHMIDataEntry_KeyPress(code);
  }
  return QMainWindow::eventFilter(watched, event);
}

void FrmTerminal::closeEvent(QCloseEvent* event) {
  if (Panel != nullptr) {
    RunGuarded(Report, [this] { Panel->SaveSettings(); });
  }
  QMainWindow::closeEvent(event);  // never refused, nothing asked
}

void FrmTerminal::SetControlVisible(hmi::screen::PanelControl control, bool visible) {
  using hmi::screen::PanelControl;
  switch (control) {
    case PanelControl::Connect:
      Widgets.cmdHMIConnect->setVisible(visible);
      break;
    case PanelControl::Reset:
      Widgets.cmdHMIReset->setVisible(visible);
      break;
    case PanelControl::Cls:
      Widgets.cmdHMICLS->setVisible(visible);
      break;
    case PanelControl::Rulers:
      Widgets.cmdHMIRulers->setVisible(visible);
      break;
    case PanelControl::AspectRatio:
      Widgets.fraAspectRatio->setVisible(visible);
      break;
    case PanelControl::Width:
      Widgets.txtSetWidth->setVisible(visible);
      Widgets.cmdHMISetWidth->setVisible(visible);
      break;
    case PanelControl::ShowTrace:
      Widgets.cmdShowTrace->setVisible(visible);
      break;
  }
}

void FrmTerminal::SetTerminalFunctions(bool available) {
  Widgets.SSTab1->setTabEnabled(app::kTerminalTab, available);
  Widgets.fraCommsParameters->setVisible(available);
  Widgets.fraLogFiles->setVisible(available);  // the terminal's log-file settings
}

std::string FrmTerminal::WidthBoxText() const {
  return Widgets.txtSetWidth->text().toStdString();
}

}  // namespace korvani::ui
